#pragma once

namespace tessaro {

// Makes assistive technology see a quote card as one list item that holds
// its controls, named by its text, source and date, with an action labelled
// "Delete" that deletes the quote at once. Safe to call more than once.
void installQuoteCardAccessible();

} // namespace tessaro
