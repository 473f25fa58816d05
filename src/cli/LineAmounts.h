#pragma once

#include <cstdint>
#include <string>

namespace cv::cli {

// Amounts on the lines the command line writes for people, in the conventions of the words around
// them, through the formatter the window and the reports use. The command line's own lines are
// English, and so are their amounts ("1.2 GB"); a line led by the engine's texts (the progress
// line's action) is in the language those texts are bound to, German when the stored language is
// German ("Daten werden gelöscht ... 1,2 GB von 3,4 GB"). Output for machines (JSON, tab-separated
// lists, exit codes) writes plain numbers and never comes here.
class LineAmounts
{
public:
    // The language the engine's texts were bound to ("de"); English until it is set.
    static void setEngineLanguage(std::string language);
    static const std::string& engineLanguage();
    // A byte amount on a line of the engine's texts.
    static std::string engineBytes(std::int64_t bytes);
};

} // namespace cv::cli
