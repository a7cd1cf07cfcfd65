// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The vocabulary of the program's message box, shared by every layer that asks the user
// something: the kind of message, the button bits and the result numbers.

enum TMsgKind { mkWarning = 0, mkError = 1, mkInformation = 2, mkConfirmation = 3, mkPlain = 4 };

// Button sets are bit sets; present buttons are always laid out Yes, No, Ok, Cancel.
enum : unsigned {
    mbYes = 1,
    mbNo = 2,
    mbOk = 4,
    mbCancel = 8,
    mbYesNo = mbYes | mbNo,
    mbYesNoCancel = mbYes | mbNo | mbCancel,
    mbOkCancel = mbOk | mbCancel,
};

// What the box returns; closing it any other way answers mrCancel.
enum : int { mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };
