#include "workflow/FirmwareFacts.h"

#include "link/Radio.h"
#include "model/Radioinfo.h"

namespace kav {

namespace {

std::string wordText(int value) {
    return productIdText(static_cast<std::uint32_t>(value));
}

} // namespace

FirmwareFacts readFirmwareFacts(TRadio& radio, TradioInfo& models, const BuildConfig& config) {
    FirmwareFacts facts;
    std::string type;
    if (!radio.ReadRadioType(type)) {
        facts.typeReadFailed = true;
        return facts;
    }
    radio.GetRadioTypeText(facts.radioType);

    int productId = 0;
    // Only an ID actually read may change the current model: a failed read has no ID.
    if (radio.ReadProductId(productId)) {
        facts.productId = wordText(productId);
        if (config.acceptsAnyModel()) {
            models.setModelByProductId(static_cast<std::uint32_t>(productId));
        }
    }
    int revision = 0;
    if (radio.ReadPcbRevision(revision)) {
        facts.pcbRevision = wordText(revision);
    }
    if (!radio.GetVersion() || !radio.GetVersionText(facts.firmware)) {
        facts.firmware = kFirmwareUnknownText;
    }
    return facts;
}

} // namespace kav
