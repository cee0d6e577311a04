#include "editors/DialogUi.h"

#include "app/Popups.h"

namespace kav {

void DialogUi::warn(const std::string& text, const std::string& caption) {
    popups::warn(&owner_, QString::fromStdString(text), QString::fromStdString(caption));
}

bool DialogUi::ask(const std::string& text, const std::string& caption, Icon icon) {
    return popups::ask(&owner_, QString::fromStdString(text), QString::fromStdString(caption),
                       icon == Icon::Question ? popups::Kind::Question : popups::Kind::Warning);
}

} // namespace kav
