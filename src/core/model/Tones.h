#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kav {

class EEPROM;
class TradioInfo;

inline constexpr int kCtcssToneCount = 50;   // frequency table indices 1..50
inline constexpr int kLegacyToneCount = 38;  // tones of the 38-tone set
inline constexpr int kDcsCodeCount = 104;    // DCS code numbers 1..104
inline constexpr int kFirstDcsToneCode = 51; // tone code of DCS number 1
inline constexpr int kLastDcsToneCode = 154; // tone code of DCS number 104
inline constexpr int kOptions5LegacyNumbering = 0x80;
inline constexpr int kOptions5ToneSet38 = 0x40;

// How the CTCSS part (codes 1..50) of a stored tone code is numbered.
enum class ToneScheme : std::uint8_t {
    Extended, // 1..38 the 38-tone set, 39..50 the twelve remaining tones
    Legacy50, // code = frequency table index
    Legacy38, // 1..38 the 38-tone set; 39..50 stand for no tone
};

// Hz of frequency table index 1..50; 0 for any other index.
float ctcssFrequency(int tableIndex);
// The DCS code (its octal digits as a number, e.g. 023 octal) of DCS number 1..104; 0 else.
int dcsCode(int number);
// Frequency table index of tone k of the extended order (1..50; 1..38 is the 38-tone set);
// 0 for k outside 1..50.
int extendedToneIndex(int k);
// The frequency table index a CTCSS code 1..50 stands for in `scheme`; 0 when none.
int ctcssTableIndex(int code, ToneScheme scheme);

// The scheme an image is read in: extended when "Options-5" bit 7 is clear, when the build
// model supports extended CTCSS, or on a QM2200 build with firmware major version 3 or more.
// firmwareMajor is the version last read from the radio, -1 when none.
ToneScheme toneScheme(int options5, bool supportsExtendedCtcss, std::uint32_t buildProductId,
                      int firmwareMajor);
// The same, reading "Options-5" from `image` at the current model's address.
ToneScheme imageToneScheme(const EEPROM& image, const TradioInfo& models,
                           std::uint32_t buildProductId, int firmwareMajor);

// A stored tone code as the report prints it: "OFF", "CTC02 - 69.4Hz" (the number is the
// frequency table index), "DT001 - 023", or "???" for codes that stand for no tone.
std::string toneText(int code, ToneScheme scheme);

// The editor's tone list: "OFF", the scheme's CTCSS items ("CTC39 - 69.4Hz" is item 39 of the
// extended scheme), then the 104 DCS items.
std::vector<std::string> toneListItems(ToneScheme scheme);
// List item of a stored code (a code outside 0..154 selects "OFF"; a code that stands for no
// tone, 39..50 of the 38-tone scheme, has no item: -1), and the code of an item.
int toneListIndex(int code, ToneScheme scheme);
int toneCodeOfListIndex(int index, ToneScheme scheme);

// Codes 39..50 of the 38-tone scheme: in the CTCSS range, yet no tone of that set.
bool standsForNoTone(int code, ToneScheme scheme);

// The code of the same tone after the tone set changed between the two legacy schemes: a DCS
// code stays, a CTCSS tone keeps its frequency, and a tone the new set lacks (or a code that
// stood for none) becomes 0, "OFF".
int toneCodeInScheme(int code, ToneScheme from, ToneScheme to);

} // namespace kav
