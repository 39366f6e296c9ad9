// --entities, --entity and --save-entity: the editor's entity-mode document
// without its window. Message boxes go to stderr (the default services).
#include <iostream>
#include <iterator>
#include <string>

#include "Commands.h"
#include "editor/SourceDocument.h"
#include "platform/Desktop.h"
#include "platform/RuntimeError.h"
#include "platform/Services.h"
#include "textlib/TextLib.h"

namespace {

// A save dialog that answers with one fixed name (Save As TARGET).
class FixedSaveDialog : public platform::FileDialogs {
public:
    explicit FixedSaveDialog(std::string name) : name_(std::move(name)) {}
    std::optional<std::string> openFile(const std::string&, const std::string&) override { return std::nullopt; }
    std::optional<std::vector<std::string>> openFiles(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFile(const std::string&, const std::string&, const std::string&) override {
        return name_;
    }

private:
    std::string name_;
};

// Opens file in entity mode; false (with the message on stderr) when it
// cannot be opened.
bool openEntities(editor::SourceDocument& doc, const std::string& file) {
    return doc.OpenSourceFile(file, editor::Mode::Entity);
}

}  // namespace

int cmdEntities(const std::string& file) {
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    if (!openEntities(doc, file)) return 1;
    for (const auto& record : doc.entityRecords()) std::cout << record << "\n";
    return 0;
}

int cmdEntity(const std::string& name, const std::string& file) {
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    if (!openEntities(doc, file)) return 1;
    const int index = doc.findEntity(name);
    if (index < 0) {
        std::cerr << "varnel: no entity named \"" << name << "\" in " << file << "\n";
        return 1;
    }
    try {
        std::cout << doc.GetEntityText(index);
    } catch (const platform::RuntimeError& e) {
        std::cerr << "varnel: " << e.description() << "\n";
        return 1;
    }
    return std::cout.good() ? 0 : 1;
}

int cmdSaveEntity(const std::string& name, const std::string& file, const std::optional<std::string>& target) {
    editor::MemoryView view;
    editor::SourceDocument doc(view);
    view.onTextChange = [&] { doc.txtEdit_Change(); };
    if (!openEntities(doc, file)) return 1;
    const int index = doc.findEntity(name);
    if (index < 0) {
        std::cerr << "varnel: no entity named \"" << name << "\" in " << file << "\n";
        return 1;
    }
    doc.cbProc_Click(index);
    if (doc.currentIndex() != index) return 1;  // the entity could not be read (reported)

    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    view.setEditorText(text);

    bool written = false;
    if (target) {
        FixedSaveDialog dialog(*target);
        platform::Services replacement;
        replacement.dialogs = &dialog;
        platform::ScopedServices scope(replacement);
        written = doc.mnuSaveAs_Click();
    } else {
        written = doc.mnuFileSave_Click();
        if (!written && textlib::Trim(text).empty()) std::cerr << "varnel: nothing saved: the new text is blank\n";
    }
    return written ? 0 : 1;
}
