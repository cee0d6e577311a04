#pragma once

#include "gui/GuiTestSupport.h"
#include "support/EditorImages.h"
#include "workflow/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QTest>
#include <map>

namespace kav::test {

// A context over `image` whose current model is `model`, as a build or a radio made it, and
// one editor over it.
template <typename Dialog> struct EditorHarness {
    EditorHarness(const BuildConfig& config, std::uint32_t model, const EEPROM& image)
        : ctx(config, config.engineeringBuild) {
        ctx.models().setModelByProductId(model);
        ctx.image() = image;
        before = image;
    }
    explicit EditorHarness(const EEPROM& image = typicalImage())
        : EditorHarness(BuildConfig::delivered(), 0x2200, image) {}

    // Shows the dialog as the main window does (a fresh load), without a modal loop.
    Dialog& open() {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QApplication::processEvents(); // the layout follows the controls the load showed
        return dialog;
    }
    template <typename T> T& find(const char* name) { return control<T>(dialog, name); }
    void choose(const char* list, const QString& item) {
        auto& combo = find<QComboBox>(list);
        const int index = combo.findText(item);
        ASSERT_GE(index, 0) << item.toStdString() << " not in " << list;
        combo.setCurrentIndex(index);
    }
    std::map<int, int> changed() { return changedBytes(before, ctx.image()); }

    AppContext ctx;
    EEPROM before;
    Dialog dialog{ctx};
};

} // namespace kav::test
