#pragma once
// The main window's message boxes, sized to their text.
#include <QMessageBox>
#include <string_view>

#include "jobdata/CDocShell.h"

// Qt wraps a message at half the screen, in the middle of a path; the box is made as wide
// as its longest line instead, up to the widest box Qt allows.
void FitToText(QMessageBox& box);
void ShowMessageBox(QWidget* pParent, std::string_view utf8Text, MessageIcon icon);
// A question with one button that goes on and "Vazgeç"; true when the user goes on.
bool AskToGoOn(QWidget* pParent, const QString& text, const QString& goOn);
