#include "app/EditorTable.h"

namespace kav {

const std::map<Editor, EditorFactory>& editorFactories() {
    static const std::map<Editor, EditorFactory> factories{};
    return factories;
}

} // namespace kav
