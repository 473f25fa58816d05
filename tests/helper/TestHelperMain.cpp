// cindervault-helper-test: the helper as installed, except that a stand-in authorizer allows every
// call, and snapper, blkid and mkfs may be looked for in folders of the test's choosing. Built for
// the tests only; the installed helper always asks polkit.
#include "common/Log.h"
#include "helper/Authorizer.h"
#include "helper/HelperRunner.h"
#include "helper/ToolRunner.h"

#include <QCoreApplication>

namespace {

class AllowingAuthorizer : public cv::Authorizer
{
public:
    void checkAuthorization(const QDBusConnection&, const QString&, Decision decision) override
    {
        decision(true, QString());
    }
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
    QString error;
    if (!cv::HelperRunner::parseArguments(arguments, options, error)) {
        cv::logLine(error.toStdString());
        return 2;
    }
    AllowingAuthorizer authorizer;
    return cv::HelperRunner::run(options, authorizer, toolSearchPath);
}
