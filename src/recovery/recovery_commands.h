// What a window does with the recovery files at start: a figure left by a
// window that did not end normally is offered back, one at a time, until
// one is recovered (a window shows one figure) or none is left. A file
// that cannot be read is set aside and said.
#pragma once

#include <string>

#include "editor/desktop.h"
#include "editor/dial_editor.h"
#include "editor/file_commands.h"
#include "recovery/recovery_keeper.h"

namespace zandorik {

// The question, with the figure's name: "Recover the figure "NAME" that
// was being edited when the program last ended?"
std::string RecoverQuestion(const std::string& name);

// Offers the left-over figures of the keeper's folder. Recover opens the
// figure's data file if it is still there (nothing is written to it), puts
// the figure on the screen as one undo step, with its changes unsaved, and
// the keeper takes over its recovery file. True when a figure was
// recovered.
bool OfferRecovery(Desktop& desktop, DialEditor& editor, FileCommands& files,
                   RecoveryKeeper& keeper);

}  // namespace zandorik
