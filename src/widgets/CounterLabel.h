#pragma once

class QLabel;

// A title's byte counter: the count as text, on red with white letters once
// it is over the limit, on the button face with black letters otherwise.
namespace CounterLabel {
void prepare(QLabel* label);
void show(QLabel* label, int bytes, bool overLimit);
}  // namespace CounterLabel
