#include "app/EditorTable.h"

#include "editors/Ctcss.h"
#include "editors/Options.h"
#include "editors/Rxchdata.h"
#include "editors/Scan.h"
#include "editors/Selcall.h"
#include "editors/Squelch.h"
#include "engineering/EEpromEdit.h"
#include "engineering/Engineering.h"
#include "service/Align.h"
#include "service/Engoptions.h"

namespace kav {

const std::map<Editor, EditorFactory>& editorFactories() {
    static const std::map<Editor, EditorFactory> factories{
        {Editor::Scan,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmScan>(ctx, parent);
         }},
        {Editor::ChannelData,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmRxChData>(ctx, parent);
         }},
        {Editor::Selcall,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmSelcall>(ctx, parent);
         }},
        {Editor::Ctcss,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmCtcss>(ctx, parent);
         }},
        {Editor::Squelch,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmSquelch>(ctx, parent);
         }},
        {Editor::Options,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmOptions>(ctx, parent);
         }},
        {Editor::Align,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TformAlign>(ctx, parent);
         }},
        {Editor::Advanced,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmEngOptions>(ctx, parent);
         }},
        {Editor::Eeprom,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmEEpromEdit>(ctx, parent);
         }},
        {Editor::Development,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmEngineering>(ctx, parent);
         }},
    };
    return factories;
}

} // namespace kav
