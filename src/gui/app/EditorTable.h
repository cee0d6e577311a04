#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <memory>

namespace kav {

class AppContext;

// The editors and tools reached from the main window; a button and its Edit menu item
// share one entry.
enum class Editor {
    Scan,
    ChannelData,
    Selcall,
    Ctcss,
    Squelch,
    Options,
    Align,
    Advanced,
    Eeprom,
    Development,
};

// Makes the window that serves an editor command. The main window calls it on first use and
// keeps the window until it closes.
using EditorFactory = std::function<std::unique_ptr<QDialog>(AppContext&, QWidget* parent)>;

// Every editor built so far; one line each. An editor missing here says it is not available.
const std::map<Editor, EditorFactory>& editorFactories();

} // namespace kav
