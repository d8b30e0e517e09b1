#pragma once
// Acting on a modal dialog or a pop-up menu as a user would, once it is showing: both
// block in their own event loop, so the action is queued before they open.

#include <QString>
#include <functional>

class QWidget;

namespace yl::testing {

// Runs `act` on the modal dialog as soon as it is showing.
void WhenModal(std::function<void(QWidget*)> act);
// The same for the first modal widget that `match` accepts (another dialog may be up).
void WhenModalMatching(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> act);
// Picks the item of the pop-up menu that is about to open.
void PickFromMenu(const QString& caption);
// Presses OK of the dialog's button box.
void Accept(QWidget* dialog);

}  // namespace yl::testing
