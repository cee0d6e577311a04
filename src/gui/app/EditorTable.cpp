#include "app/EditorTable.h"

#include "service/Engoptions.h"

namespace kav {

const std::map<Editor, EditorFactory>& editorFactories() {
    static const std::map<Editor, EditorFactory> factories{
        {Editor::Advanced,
         [](AppContext& ctx, QWidget* parent) {
             return std::make_unique<TfrmEngOptions>(ctx, parent);
         }},
    };
    return factories;
}

} // namespace kav
