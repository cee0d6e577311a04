#include "model/Tones.h"

#include "model/Eeprom.h"
#include "model/Radioinfo.h"

#include <array>
#include <cstdio>

namespace kav {

namespace {

// Index 0 stands for no tone.
constexpr std::array<float, kCtcssToneCount + 1> kCtcssHz = {
    0.0F,   67.0F,  69.4F,  71.9F,  74.4F,  77.0F,  79.7F,  82.5F,  85.4F,  88.5F,  91.5F,
    94.8F,  97.4F,  100.0F, 103.5F, 107.2F, 110.9F, 114.8F, 118.8F, 123.0F, 127.3F, 131.8F,
    136.5F, 141.3F, 146.2F, 151.4F, 156.7F, 159.8F, 162.2F, 165.5F, 167.9F, 171.3F, 173.8F,
    177.3F, 179.9F, 183.5F, 186.2F, 189.9F, 192.8F, 196.6F, 199.5F, 203.5F, 206.5F, 210.7F,
    218.1F, 225.7F, 229.1F, 233.6F, 241.8F, 250.3F, 254.1F,
};

// Octal literals on purpose: each entry is the code as the radio names it, printed with %03o.
constexpr std::array<int, kDcsCodeCount + 1> kDcsCodes = {
    0,    0023, 0025, 0026, 0031, 0032, 0036, 0043, 0047, 0051, 0053, 0054, 0065, 0071, 0072,
    0073, 0074, 0114, 0115, 0116, 0122, 0125, 0131, 0132, 0134, 0143, 0145, 0152, 0155, 0156,
    0162, 0165, 0172, 0174, 0205, 0212, 0223, 0225, 0226, 0243, 0244, 0245, 0246, 0251, 0252,
    0255, 0261, 0263, 0265, 0266, 0271, 0274, 0306, 0311, 0315, 0325, 0331, 0332, 0343, 0346,
    0351, 0356, 0364, 0365, 0371, 0411, 0412, 0413, 0423, 0431, 0432, 0445, 0446, 0452, 0454,
    0455, 0462, 0464, 0465, 0466, 0503, 0506, 0516, 0523, 0526, 0532, 0546, 0565, 0606, 0612,
    0624, 0627, 0631, 0632, 0654, 0662, 0664, 0703, 0712, 0723, 0731, 0732, 0734, 0743, 0754,
};

// Tone k of the extended order -> frequency table index; 1..38 are the 38-tone set.
constexpr std::array<int, kCtcssToneCount + 1> kExtendedOrder = {
    0,  1,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
    18, 19, 20, 21, 22, 23, 24, 25, 26, 28, 30, 32, 34, 36, 38, 41, 43,
    44, 45, 47, 48, 49, 2,  27, 29, 31, 33, 35, 37, 39, 40, 42, 46, 50,
};

constexpr int kLegacy38DcsShift = kCtcssToneCount - kLegacyToneCount; // 12

int lastCtcssCode(ToneScheme scheme) {
    return scheme == ToneScheme::Legacy38 ? kLegacyToneCount : kCtcssToneCount;
}

bool isDcsCode(int code) {
    return code >= kFirstDcsToneCode && code <= kLastDcsToneCode;
}

std::string ctcssText(int number, int tableIndex) {
    char text[32];
    std::snprintf(text, sizeof text, "CTC%02d - %3.1fHz", number,
                  static_cast<double>(ctcssFrequency(tableIndex)));
    return text;
}

std::string dcsText(int number) {
    char text[32];
    std::snprintf(text, sizeof text, "DT%03d - %03o", number,
                  static_cast<unsigned>(dcsCode(number)));
    return text;
}

} // namespace

float ctcssFrequency(int tableIndex) {
    return tableIndex >= 1 && tableIndex <= kCtcssToneCount ? kCtcssHz[tableIndex] : 0.0F;
}

int dcsCode(int number) {
    return number >= 1 && number <= kDcsCodeCount ? kDcsCodes[number] : 0;
}

int extendedToneIndex(int k) {
    return k >= 1 && k <= kCtcssToneCount ? kExtendedOrder[k] : 0;
}

int ctcssTableIndex(int code, ToneScheme scheme) {
    if (code < 1 || code > lastCtcssCode(scheme)) {
        return 0;
    }
    return scheme == ToneScheme::Legacy50 ? code : kExtendedOrder[code];
}

ToneScheme toneScheme(int options5, bool supportsExtendedCtcss, std::uint32_t buildProductId,
                      int firmwareMajor) {
    const bool extended = (options5 & kOptions5LegacyNumbering) == 0 || supportsExtendedCtcss ||
                          hasNewQm2200Firmware(buildProductId, firmwareMajor);
    if (extended) {
        return ToneScheme::Extended;
    }
    return (options5 & kOptions5ToneSet38) != 0 ? ToneScheme::Legacy38 : ToneScheme::Legacy50;
}

ToneScheme imageToneScheme(const EEPROM& image, const TradioInfo& models,
                           std::uint32_t buildProductId, int firmwareMajor) {
    // A model without "Options-5" reads it as erased (255), like an erased image.
    const int options5 = image.getByte(models.variableAddress(kVarOptions5)) & 0xFF;
    return toneScheme(options5, models.supportsExtendedCtcss(buildProductId), buildProductId,
                      firmwareMajor);
}

std::string toneText(int code, ToneScheme scheme) {
    if (code == 0) {
        return "OFF";
    }
    if (isDcsCode(code)) {
        return dcsText(code - kFirstDcsToneCode + 1);
    }
    const int tableIndex = ctcssTableIndex(code, scheme);
    // Codes 39..50 of the 38-tone scheme stand for no tone.
    return tableIndex != 0 ? ctcssText(tableIndex, tableIndex) : "???";
}

std::vector<std::string> toneListItems(ToneScheme scheme) {
    std::vector<std::string> items{"OFF"};
    for (int k = 1; k <= lastCtcssCode(scheme); ++k) {
        items.push_back(ctcssText(k, ctcssTableIndex(k, scheme)));
    }
    for (int j = 1; j <= kDcsCodeCount; ++j) {
        items.push_back(dcsText(j));
    }
    return items;
}

bool standsForNoTone(int code, ToneScheme scheme) {
    return scheme == ToneScheme::Legacy38 && code > kLegacyToneCount && code < kFirstDcsToneCode;
}

int toneCodeInScheme(int code, ToneScheme from, ToneScheme to) {
    if (isDcsCode(code)) {
        return code;
    }
    const int tableIndex = ctcssTableIndex(code, from);
    if (tableIndex == 0) {
        return 0;
    }
    for (int k = 1; k <= lastCtcssCode(to); ++k) {
        if (ctcssTableIndex(k, to) == tableIndex) {
            return k;
        }
    }
    return 0;
}

int toneListIndex(int code, ToneScheme scheme) {
    if (code < 0 || code > kLastDcsToneCode) {
        return 0;
    }
    if (standsForNoTone(code, scheme)) {
        return -1;
    }
    if (scheme == ToneScheme::Legacy38 && code >= kFirstDcsToneCode) {
        return code - kLegacy38DcsShift;
    }
    return code;
}

int toneCodeOfListIndex(int index, ToneScheme scheme) {
    if (scheme == ToneScheme::Legacy38 && index > kLegacyToneCount) {
        return index + kLegacy38DcsShift;
    }
    return index;
}

} // namespace kav
