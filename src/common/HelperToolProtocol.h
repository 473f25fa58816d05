#pragma once

namespace cv {

// The names that the application and its privileged helper agree on: where the helper is found on
// the system bus, the polkit actions that guard it, its version and the errors it answers. Both
// sides include this header. The methods themselves are described by
// resources/dbus/com.Ostrevane.CindervaultForMac.HelperTool.xml, from which the helper's adaptor
// and the application's proxy are both generated, so that neither side can call or answer a method
// the other does not know.
struct HelperToolProtocol
{
    static constexpr char serviceName[] = "com.Ostrevane.CindervaultForMac.HelperTool";
    static constexpr char objectPath[] = "/HelperTool";
    static constexpr char interfaceName[] = "com.Ostrevane.CindervaultForMac.HelperTool";
    // One polkit action per kind of work, so that a password given for one kind never allows
    // another: file work on the caller's own selection (one question names a whole job's files),
    // reformatting a volume and deleting snapshots; each asked every time.
    static constexpr char fileAction[] = "com.Ostrevane.CindervaultForMac.adminPermission";
    static constexpr char reformatAction[] = "com.Ostrevane.CindervaultForMac.reformatVolume";
    static constexpr char snapshotAction[] = "com.Ostrevane.CindervaultForMac.deleteSnapshots";
    // The polkit detail that names the volume in the question of a reformat.
    static constexpr char volumeDetail[] = "volume";
    // The polkit details that describe the volume of a reformat as the helper found it.
    static constexpr char labelDetail[] = "label";
    static constexpr char deviceDetail[] = "device";
    static constexpr char sizeDetail[] = "size";
    // The polkit detail that names the files of a file question: the file, or the first few and
    // how many there are.
    static constexpr char filesDetail[] = "files";
    // The file methods take the examined entry (folder, name, device, inode) since 1.2; since 1.3
    // reformatVolumeAt takes the volume the user confirmed (device, disk sequence, UUID, label),
    // and checkReformatVolumeAt answers whether a reformat would be refused, without a question;
    // since 1.4 openFileAt hands a descriptor instead of the file's ownership, and allowEntriesAt
    // asks one question for a job's list of entries; withdrawCallOn withdraws one call of
    // the caller, named by its method and target.
    static constexpr char version[] = "1.4";
    static constexpr char authorizationRequestedSignal[] = "authorizationRequested";

    // A refused argument: relative path, "..", a link where a file is expected, not a mount point.
    static constexpr char errorInvalidArgument[] =
        "com.Ostrevane.CindervaultForMac.HelperTool.Error.InvalidArgument";
    // The operation was tried and failed.
    static constexpr char errorFailed[] = "com.Ostrevane.CindervaultForMac.HelperTool.Error.Failed";
    // A tool the operation needs (snapper, mkfs.<type>, blkid) is not installed.
    static constexpr char errorToolMissing[] = "com.Ostrevane.CindervaultForMac.HelperTool.Error.ToolMissing";
    // Polkit is still being asked about an earlier call of the same caller, or about too many calls
    // of the same user: the call was not looked at, and may be sent again a moment later.
    static constexpr char errorBusy[] = "com.Ostrevane.CindervaultForMac.HelperTool.Error.Busy";
    // The caller withdrew the call (or left the bus) before it was carried out; it never will be.
    static constexpr char errorWithdrawn[] = "com.Ostrevane.CindervaultForMac.HelperTool.Error.Withdrawn";
    // Polkit refused, or could not be asked.
    static constexpr char errorAccessDenied[] = "org.freedesktop.DBus.Error.AccessDenied";
};

} // namespace cv
