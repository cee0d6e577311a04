#include "app/EditorTable.h"

#include "editors/Rxchdata.h"

namespace kav {

const std::map<Editor, EditorFactory>& editorFactories() {
    static const std::map<Editor, EditorFactory> factories{
        {Editor::ChannelData,
         [](AppContext& c, QWidget* p) -> std::unique_ptr<QDialog> {
             return std::make_unique<TfrmRxChData>(c, p);
         }},
    };
    return factories;
}

} // namespace kav
