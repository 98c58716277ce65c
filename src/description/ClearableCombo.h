#pragma once

class QComboBox;

// A mark list that starts with nothing chosen must let the seller go back
// to no mark: Delete or Backspace clears the choice.
namespace ClearableCombo {
void install(QComboBox* combo);
}
