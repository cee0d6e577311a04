#include "workflow/ReportText.h"

#include "model/AtomicFile.h"
#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "model/Tones.h"
#include "workflow/AppContext.h"
#include "workflow/Version.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>
#include <string_view>

namespace kav {

namespace {

constexpr std::string_view kSeparator = "________________________________________________";
constexpr std::string_view kIndent = "     ";
constexpr int kBankCount = 5;
constexpr int kRecordsPerBank = 20;
constexpr int kListedRecords = 19; // channels 81..99 of each bank
constexpr int kFirstRxChannel = 81;

struct ValueLine {
    std::string_view label;
    int variable;
};

constexpr std::array<ValueLine, 7> kCalibrationLines = {{
    {"Modulation = ", kVarMod},
    {"Balance = ", kVarBal},
    {"Centre Frequency = ", kVarPllFRef},
    {"S-Meter S1 = ", kVarS1Cal},
    {"S-Meter S9+ = ", kVarS10Cal},
    {"RF Power (5W) = ", kVarRfPowerHi},
    {"RF Power (1W) = ", kVarRfPowerLo},
}};

constexpr std::array<ValueLine, 3> kSquelchLines = {{
    {"Squelch level = ", kVarSqlLevel},
    {"Mute Open Debounce Time = ", kVarSqlOpenDebounce},
    {"Minimum Mute Open Time = ", kVarSqlMinOpen},
}};

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

class ReportWriter {
public:
    ReportWriter(const ReportInput& input, std::vector<std::string>& lines)
        : in_(input), image_(*input.image), models_(*input.models), lines_(lines) {}

    void header(const std::string& date);
    void calibration();
    void rxChannels();
    void subtone();
    void squelch();
    void selcallMemory();

private:
    void add(std::string_view text) { lines_.emplace_back(text); }
    void endSection() {
        add(kSeparator);
        add("");
    }
    int variableByte(int variable) const {
        // Unsigned, as the radio stores it; a variable the model lacks reads as erased.
        return image_.getByte(models_.variableAddress(variable)) & 0xFF;
    }
    void valueLines(std::span<const ValueLine> values);
    bool channelLine(int record);

    const ReportInput& in_;
    const EEPROM& image_;
    const TradioInfo& models_;
    std::vector<std::string>& lines_;
};

void ReportWriter::header(const std::string& date) {
    add(std::string("KAV ") + VersionInfo::familyText + " Report");
    endSection();
    add("Radio type: ");
    const RADIO_INFO_STRUCT& row = models_.currentRow();
    add(row.name);
    add(" (" + std::string(row.description) + ")");
    add("Date: " + date);
    if (in_.dataSource == DataSource::File) {
        add("File: " + in_.currentFileName);
    } else if (in_.dataSource == DataSource::Radio) {
        add("Radio: " + (in_.versionText.empty() ? std::string("n/a") : in_.versionText));
    }
    endSection();
}

void ReportWriter::valueLines(std::span<const ValueLine> values) {
    for (const ValueLine& value : values) {
        add(std::string(kIndent) + std::string(value.label) +
            std::to_string(variableByte(value.variable)));
    }
}

void ReportWriter::calibration() {
    add("Alignment calibration settings:");
    valueLines(kCalibrationLines);
    add("");
    endSection();
}

std::string megahertzText(std::uint32_t hz) {
    // "000.0000MHz": four decimals, rounded half up, in integers so no binary fraction creeps in.
    const std::uint32_t tenthKilohertz = (hz + 50) / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%03u.%04uMHz", tenthKilohertz / 10000,
                  tenthKilohertz % 10000);
    return text;
}

bool ReportWriter::channelLine(int record) {
    RX_CH_DATA_STRUCT channel;
    // A record outside the image counts as empty rather than repeating the last one read.
    if (image_.getRxChannel(models_.variableAddress(kVarRxOnlyChannels), record, channel) != 0 ||
        channel.frequencyHz == 0) {
        return false;
    }
    const int number = kFirstRxChannel + record % kRecordsPerBank;
    add("CH" + std::to_string(number) + std::string(kIndent) + megahertzText(channel.frequencyHz) +
        std::string(kIndent) + channel.alphaTag);
    return true;
}

char bankLetter(int bank) {
    return static_cast<char>('A' + bank);
}

void ReportWriter::rxChannels() {
    add("Receive Only Channels:");
    int activeBank = 0;
    if (models_.hasRxBanks(in_.config.buildProductId)) {
        activeBank = variableByte(kVarRxBank);
        activeBank = activeBank < kBankCount ? activeBank : 0;
    }
    add(std::string("Active bank: RX-") + bankLetter(activeBank));
    add("");
    bool any = false;
    const auto imageProductId =
        static_cast<std::uint32_t>(image_.getWord(models_.variableAddress(kVarProductId)));
    if (models_.hasRxBanks(imageProductId)) {
        for (int bank = 0; bank < kBankCount; ++bank) {
            add(std::string("---- Bank RX-") + bankLetter(bank) + " ----");
            for (int k = 0; k < kListedRecords; ++k) {
                any = channelLine(bank * kRecordsPerBank + k) || any;
            }
            add("");
        }
    } else {
        for (int k = 0; k < kListedRecords; ++k) {
            any = channelLine(k) || any;
        }
    }
    if (!any) {
        add(std::string(kIndent) + "No receive-only channels");
    }
    add("");
    endSection();
}

void ReportWriter::subtone() {
    const ToneScheme scheme =
        imageToneScheme(image_, models_, in_.config.buildProductId, in_.firmwareMajor);
    add("Subtone:");
    add(std::string(kIndent) + "Rx tone = " + toneText(variableByte(kVarRxCtcssTone), scheme));
    add(std::string(kIndent) + "Tx tone = " + toneText(variableByte(kVarTxCtcssTone), scheme));
    add("");
    endSection();
}

void ReportWriter::squelch() {
    add("Squelch:");
    add("");
    valueLines(kSquelchLines);
    add("");
    endSection();
}

void ReportWriter::selcallMemory() {
    add("Selcall Memories:");
    add("");
    endSection();
}

} // namespace

ReportInput reportInput(AppContext& app) {
    ReportInput input;
    input.image = &app.image();
    input.models = &app.models();
    input.config = app.config();
    input.dataSource = app.dataSource();
    input.currentFileName = app.currentFileName();
    app.radio().GetVersionText(input.versionText);
    input.firmwareMajor = app.radio().firmwareMajorVersion();
    return input;
}

bool reportOffersRxChannels(const TradioInfo& models, const BuildConfig& config) {
    return models.hasRxOnlyChannels(config.buildProductId);
}

bool reportOffersSelcallMemory(const TradioInfo& models, const BuildConfig& config) {
    return models.hasSelcall(config.buildProductId);
}

std::string reportDate(const std::tm& date) {
    const int month = date.tm_mon >= 0 && date.tm_mon < 12 ? date.tm_mon : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%s-%04d", date.tm_mday, kMonths[month],
                  date.tm_year + 1900);
    return text;
}

std::string reportDateToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return reportDate(local);
}

std::vector<std::string> buildReportLines(const ReportInput& input, const ReportOptions& options,
                                          const std::string& date) {
    std::vector<std::string> lines;
    if (input.image == nullptr || input.models == nullptr) {
        return lines;
    }
    ReportWriter writer(input, lines);
    writer.header(date);
    if (options.calibration) {
        writer.calibration();
    }
    if (options.rxChannels && reportOffersRxChannels(*input.models, input.config)) {
        writer.rxChannels();
    }
    writer.subtone();
    writer.squelch();
    if (options.selcallMemory && reportOffersSelcallMemory(*input.models, input.config)) {
        writer.selcallMemory();
    }
    return lines;
}

std::string joinReportLines(const std::vector<std::string>& lines, const char* lineEnd) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

std::string buildReport(const ReportInput& input, const ReportOptions& options,
                        const std::string& date) {
    return joinReportLines(buildReportLines(input, options, date));
}

bool saveReport(const std::string& path, const std::vector<std::string>& lines) {
    const std::string text = joinReportLines(lines, "\r\n");
    return writeFileAtomically(path, text.data(), text.size());
}

std::vector<ReportPage> reportPages(const std::vector<std::string>& lines, int rows, int columns) {
    const auto width = static_cast<std::size_t>(std::max(columns, 1));
    const auto height = static_cast<std::size_t>(std::max(rows, 1));
    std::vector<ReportPage> pages;
    const auto put = [&](std::string row) {
        if (pages.empty() || pages.back().size() == height) {
            pages.emplace_back();
        }
        pages.back().push_back(std::move(row));
    };
    for (const std::string& line : lines) {
        std::size_t at = 0;
        do {
            put(line.substr(at, width));
            at += width;
        } while (at < line.size());
    }
    return pages;
}

} // namespace kav
