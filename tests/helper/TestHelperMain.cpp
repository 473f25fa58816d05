// cindervault-helper-test: the helper as installed, except that a stand-in authorizer allows every
// call (unless --ask-polkit asks polkit, as the installed helper does), snapper, blkid and mkfs may be looked
// for in folders of the test's choosing, a program of the test's may run between the steps of a reformat,
// and folders of the test's may stand for the system's own.
// Built for the tests only; the installed helper always asks polkit.
#include "common/Log.h"
#include "helper/Authorizer.h"
#include "helper/HelperRunner.h"
#include "helper/PolkitAuthorizer.h"
#include "helper/ToolRunner.h"

#include <QCoreApplication>

namespace {

class AllowingAuthorizer : public cv::Authorizer
{
public:
    quint64 checkAuthorization(const QDBusConnection&, const Question&, AskingUser,
                               Decision decision) override
    {
        decision(Authorization());
        return 0;
    }
    void withdraw(quint64) override {}
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    std::vector<std::string> toolSearchPath = cv::ToolRunner::defaultSearchPath();
    // --tool-path DIR[:DIR...] replaces the folders where the helper looks for its tools.
    const qsizetype toolPath = arguments.indexOf(QStringLiteral("--tool-path"));
    if (toolPath >= 0 && toolPath + 1 < arguments.size()) {
        toolSearchPath.clear();
        for (const auto& folder : arguments.at(toolPath + 1).split(QLatin1Char(':'), Qt::SkipEmptyParts))
            toolSearchPath.push_back(folder.toStdString());
        arguments.remove(toolPath, 2);
    }
    cv::HelperRunner::Options options;
    // --reformat-hook PROGRAM runs PROGRAM with the name of each step a reformat reaches.
    const qsizetype hook = arguments.indexOf(QStringLiteral("--reformat-hook"));
    if (hook >= 0 && hook + 1 < arguments.size()) {
        options.reformatStageHook = [program = arguments.at(hook + 1).toStdString()](std::string_view stage) {
            cv::ToolRunner::run(program, {std::string(stage)}, 60);
        };
        arguments.remove(hook, 2);
    }
    // --system-folders DIR[:DIR...] names the folders that stand for the system's own (/etc, /usr, ...).
    const qsizetype systemFolders = arguments.indexOf(QStringLiteral("--system-folders"));
    if (systemFolders >= 0 && systemFolders + 1 < arguments.size()) {
        options.systemFolders.clear();
        for (const auto& folder : arguments.at(systemFolders + 1).split(QLatin1Char(':'), Qt::SkipEmptyParts))
            options.systemFolders.push_back(folder.toStdString());
        arguments.remove(systemFolders, 2);
    }
    const bool askPolkit = arguments.removeAll(QStringLiteral("--ask-polkit")) > 0;
    const auto parsed = cv::HelperRunner::parseArguments(arguments, std::move(options));
    if (!parsed) {
        cv::logLine(parsed.error().toStdString());
        return 2;
    }
    if (askPolkit) {
        cv::PolkitAuthorizer polkit;
        return cv::HelperRunner::run(*parsed, polkit, toolSearchPath);
    }
    AllowingAuthorizer authorizer;
    return cv::HelperRunner::run(*parsed, authorizer, toolSearchPath);
}
