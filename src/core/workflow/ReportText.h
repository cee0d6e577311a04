#pragma once

#include "model/BuildConfig.h"
#include "workflow/StatusBar.h"

#include <ctime>
#include <string>
#include <vector>

namespace kav {

class AppContext;
class EEPROM;
class TradioInfo;

// The optional sections of the configuration report.
struct ReportOptions {
    bool calibration = false;   // "Calibration Area"
    bool rxChannels = false;    // "Receive-only Channels"; only on models that have them
    bool selcallMemory = false; // "Selcall Memory" heading; only on models with selcall
};

// What the report reads besides its options.
struct ReportInput {
    const EEPROM* image = nullptr;
    const TradioInfo* models = nullptr; // its current model gives the variable addresses
    BuildConfig config;
    DataSource dataSource = DataSource::Nothing;
    std::string currentFileName;
    std::string versionText; // the radio's version text, "" when none is known
    int firmwareMajor = -1;  // the radio's major version, -1 when none is known
};

// The input as the application context holds it.
ReportInput reportInput(AppContext& app);

// Whether the window offers each optional section for this build.
bool reportOffersRxChannels(const TradioInfo& models, const BuildConfig& config);
bool reportOffersSelcallMemory(const TradioInfo& models, const BuildConfig& config);

// "dd-mmm-yyyy", e.g. "07-Mar-2024".
std::string reportDate(const std::tm& date);
std::string reportDateToday();

// The report, one string per line. A section the build does not offer is left out even
// when its option is set.
std::vector<std::string> buildReportLines(const ReportInput& input, const ReportOptions& options,
                                          const std::string& date);
// The lines each followed by `lineEnd` (a saved report uses "\r\n").
std::string joinReportLines(const std::vector<std::string>& lines, const char* lineEnd = "\n");
std::string buildReport(const ReportInput& input, const ReportOptions& options,
                        const std::string& date);

// Saves the lines as a text file with CR LF line ends, atomically: a failed save leaves any
// previous file as it was. False when the save failed.
bool saveReport(const std::string& path, const std::vector<std::string>& lines);

// The lines laid out on printed pages of `rows` lines of `columns` characters: a longer line
// goes on over the next lines, so nothing is cut off at the page's edge or end.
using ReportPage = std::vector<std::string>;
std::vector<ReportPage> reportPages(const std::vector<std::string>& lines, int rows, int columns);

} // namespace kav
