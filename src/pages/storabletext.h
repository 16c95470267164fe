#pragma once

class QChar;
class QLineEdit;

// A character typed or pasted into a box that its field cannot store is taken out of the
// box at once, so that the box shows what was stored. Returns true when the text changed;
// the box's change handling has then already run for the cleaned text.
bool DropUnstorable(QLineEdit *box, bool (*storable)(QChar));
