#include "app/AppServices.h"

#include "common/Log.h"
#include "engine/ShredResult.h"
#include "settings/NotificationManager.h"
#include "system/HelperToolService.h"

namespace cv {

AppServices& AppServices::shared()
{
    static AppServices services;
    return services;
}

void wireServices()
{
    AppServices& services = AppServices::shared();
    HelperToolService& helper = HelperToolService::sharedInstance();
    services.installHelperIfNeeded = [&helper] { helper.installIfNeeded(); };
    services.helperTool = &helper;
    services.deleteSnapshots = [&helper](std::function<void()> reply) {
        // The outcome is not shown: a failed removal ends like a successful one (it is logged).
        helper.deleteSnapshotsWithReply([reply = std::move(reply)](std::optional<std::string> error) {
            if (error)
                logMessage("Snapshot removal failed: ", *error);
            reply();
        });
    };
    services.showNotification = [](std::shared_ptr<ShredResult> result) {
        if (result)
            NotificationManager::sharedManager().showNotificationFromResult(*result);
    };
    // SEAM: the logind sleep inhibitor, the report builder and the report window are wired here
    // when they land; until then a job runs without them (and says so in the log).
}

} // namespace cv
