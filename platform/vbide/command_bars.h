#pragma once
// The ids of the built-in commands that a user interface carries out itself
// (opening and saving projects, editing, arranging windows) or gives a key or
// a toolbar picture, so that it finds them by id: an add-in may rename a
// built-in control, its id stays. A command on a menu and on the toolbar has
// one id.

#include <cstdint>

namespace vbide {

enum BuiltInCommand : std::int32_t {
    kCmdFileMenu = 32001,
    kCmdOpenProject,
    kCmdAddProject,
    kCmdRemoveProject,
    kCmdSaveProject,
    kCmdSaveProjectAs,
    kCmdSave,
    kCmdSaveAs,
    kCmdExit,
    kCmdUndo,
    kCmdRedo,
    kCmdCut,
    kCmdCopy,
    kCmdPaste,
    kCmdDelete,
    kCmdSelectAll,
    kCmdFind,
    kCmdFindNext,
    kCmdViewCode,
    kCmdAddInManager,
    kCmdTileHorizontally,
    kCmdTileVertically,
    kCmdCascade,
    kCmdAbout,
    kCmdNewProject,
    kCmdAddStandardExe,
    kCmdAddForm,
    kCmdMenuEditor,
    kCmdPrint,
    kCmdReplace,
    kCmdObjectBrowser,
    kCmdImmediateWindow,
    kCmdProjectExplorer,
    kCmdPropertiesWindow,
    kCmdFormLayoutWindow,
    kCmdToolbox,
    kCmdDataViewWindow,
    kCmdComponentManager,
    kCmdStart,
    kCmdBreak,
    kCmdEnd,
};

}  // namespace vbide
