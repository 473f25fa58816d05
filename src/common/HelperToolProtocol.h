#pragma once

namespace cv {

// The names that the application and its privileged helper agree on: where the helper is found on
// the system bus, the polkit action that guards it, its version and the errors it answers. Both
// sides include this header. The methods themselves are described by
// resources/dbus/com.Ostrevane.CindervaultForMac.HelperTool.xml, from which the helper's adaptor
// and the application's proxy are both generated, so that neither side can call or answer a method
// the other does not know.
struct HelperToolProtocol
{
    static constexpr char serviceName[] = "com.Ostrevane.CindervaultForMac.HelperTool";
    static constexpr char objectPath[] = "/HelperTool";
    static constexpr char interfaceName[] = "com.Ostrevane.CindervaultForMac.HelperTool";
    static constexpr char authorizationAction[] = "com.Ostrevane.CindervaultForMac.adminPermission";
    static constexpr char version[] = "1.0";

    // A refused argument: relative path, "..", a link where a file is expected, not a mount point.
    static constexpr char errorInvalidArgument[] =
        "com.Ostrevane.CindervaultForMac.HelperTool.Error.InvalidArgument";
    // The operation was tried and failed.
    static constexpr char errorFailed[] = "com.Ostrevane.CindervaultForMac.HelperTool.Error.Failed";
    // A tool the operation needs (snapper, mkfs.<type>, blkid) is not installed.
    static constexpr char errorToolMissing[] = "com.Ostrevane.CindervaultForMac.HelperTool.Error.ToolMissing";
    // Polkit is still being asked about an earlier call of the same caller, or about too many
    // callers at once: the call was not looked at, and may be sent again a moment later.
    static constexpr char errorBusy[] = "com.Ostrevane.CindervaultForMac.HelperTool.Error.Busy";
    // Polkit refused, or could not be asked.
    static constexpr char errorAccessDenied[] = "org.freedesktop.DBus.Error.AccessDenied";
};

} // namespace cv
