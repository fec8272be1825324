#pragma once

namespace q7::app {

// The shortest text of a double that reads back to the same value, fixed
// notation from 1e-6 up to 1e21; inf, -inf and nan as Qt writes them. Writes
// into buf (at least 400 bytes) and answers the text's end.
char* exactNumberText(double value, char* buf);

} // namespace q7::app
