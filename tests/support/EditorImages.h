#pragma once

// Images the editor tests load and store: a typical QM2200 configuration, and a way to see
// which bytes an editor changed.

#include "model/Eeprom.h"
#include "model/Radioinfo.h"
#include "sim/DemoImage.h"
#include "support/Testsupport.h"

#include <map>

namespace kav::test {

// A model table whose current model is `model`, as a build or a loaded radio makes it.
inline TradioInfo modelsFor(std::uint32_t model) {
    TradioInfo models;
    models.setModelByProductId(model);
    return models;
}

inline int qm2200(int variable) {
    return mapAddress(AddressMap::QM2200, variable);
}

// The demo radio's configuration with every editor field at a valid, non-default value:
// scan memory 2 in use, RX 82 as priority channel, group calls of 100 received and 10 sent,
// ident 12345 named "BASE1", two named selcall memories.
inline EEPROM typicalImage() {
    EEPROM image = demoImage();
    const std::pair<int, int> bytes[] = {
        {kVarStatus, 0x08},     {kVarOptions2, 0x21},     {kVarOptions3, 0x59},
        {kVarOptions4, 0xC6},   {kVarOptions6, 0x3A},     {kVarPriChkRate, 4},
        {kVarPriChannel, 82},   {kVarDuplex, 0x05},       {kVarDuplex80, 0x80},
        {kVarScanSkipTime, 12}, {kVarLeadToneLength, 30}, {kVarSelcallAlertTime, 10},
        {kVarToneLength, 40},   {kVarRxBank, 0},
    };
    for (const auto& [variable, value] : bytes) {
        image.setByte(qm2200(variable), value);
    }
    image.setHexString("00012345", qm2200(kVarSelcallIdent), 4);
    image.setPackedText(qm2200(kVarSelcallIdent) + 4, "BASE1");
    const int memories = qm2200(kVarSelcallMem);
    for (int i = 0; i < 10; ++i) {
        image.setHexString(i < 2 ? "00077" + std::to_string(100 + i) : "00000000", memories + 8 * i,
                           4);
        image.setPackedText(memories + 8 * i + 4, i == 0 ? "YARD" : i == 1 ? "TRUCK" : "");
    }
    return image;
}

// A recognisable pattern over every byte, the product ID at 0: values no editor expects.
inline EEPROM oddImage(std::uint16_t productId, int seed) {
    EEPROM image;
    const Bytes bytes = patternImage(productId, seed);
    image.writeBlock(0, bytes.data(), static_cast<int>(bytes.size()));
    return image;
}

inline EEPROM erasedImage() {
    return EEPROM();
}

// Address -> new value of every byte that differs.
inline std::map<int, int> changedBytes(const EEPROM& before, const EEPROM& after) {
    std::map<int, int> changed;
    for (int a = 0; a < before.size(); ++a) {
        if (before.getByte(a) != after.getByte(a)) {
            changed[a] = after.getByte(a);
        }
    }
    return changed;
}

} // namespace kav::test
