// What the commands and the section list of the notes and information window do, without
// any widget: the window shows the title, caption, text and list this controller holds and
// forwards clicks and edits.
#pragma once

#include <string>
#include <vector>

#include "core/user_port.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::control {

class NotesController {
public:
    NotesController(core::ProgramState& state, core::UserPort& ui);

    // Opens on the current section in the face the window was last left in (the information
    // face the first time).
    void Open();
    // The window became active again: when another window moved to another job or section
    // meanwhile, offers to save the note being edited and then shows the new section.
    void Follow();
    // An edit by the user; line breaks as LF.
    void SetBoxText(std::string text);

    // A click in the section list. false: the user cancelled the save question and the list
    // goes back to SectionRow().
    bool SelectSection(int row);
    void ShowNotes();        // cmdNotes
    void ShowInformation();  // cmdListInfo
    void Save();             // cmdSave
    // cmdExit and closing the window; false keeps the window open.
    bool Exit();
    // The text Print sends (four empty lines first) and the text Copy puts on the clipboard:
    // the report of the current section and its stored note.
    std::string PrintText();
    std::string ClipboardText();

    // The save question of the notes face. Nothing changed: Yes without asking. Yes saves
    // the box into the notes file (a failed save is reported and answers Cancel, keeping the
    // edits); No puts the stored note back into the box; Cancel abandons the caller's action.
    core::Answer PromptSaveNotes();

    // ---- what the window shows -----------------------------------------------------
    bool InfoMode() const { return infoMode_; }
    std::string Title() const;
    std::string Caption() const;
    // The box text with LF line breaks; BoxVersion() changes whenever the controller (not
    // the user) puts another text into the box.
    const std::string& BoxText() const { return box_; }
    int BoxVersion() const { return boxVersion_; }
    const std::vector<std::string>& SectionLines() const { return sectionLines_; }
    int SectionRow() const;  // -1 when the job has no section
    bool NotesChanged() const;

private:
    void ShowSection();  // rebuilds the face shown for the current section
    void Remember();     // the job and section the window now shows
    bool InStep() const;
    void SetBox(std::string text);
    void FillList();
    // Writes `note` (CR LF line breaks) as the note of the section shown.
    bool SaveNote(const std::string& note);

    core::ProgramState& state_;
    core::UserPort& ui_;
    bool infoMode_ = true;
    std::string box_;
    int boxVersion_ = 0;
    std::vector<std::string> sectionLines_;
    // The job, slot and section the window shows, and that section's stored note.
    std::string shownJob_;
    int shownSlot_ = 0;
    std::string shownName_;
    std::string shownNote_;
};

}  // namespace tavro::control
