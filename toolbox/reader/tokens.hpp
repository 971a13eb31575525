// The token scanner and the conversion of numeric tokens.
#pragma once

namespace zatrel {

// Advances past the next token of the data range and sets strval_, vallen_,
// itemtype_ and lastquote_.
void getstr();

// Converts strval_(1:vallen_) into the number value and uncertainty of the
// reader state; itemtype_ becomes "numb", or "char" when it is no number.
void ctonum();

}  // namespace zatrel
