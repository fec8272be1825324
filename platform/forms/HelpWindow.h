#pragma once

class QTextBrowser;

namespace q7::forms {

// Shows the help page of a context (HelpContexts) in the application's help
// window: one window, made on first use, shown and raised again for every
// later call. Links between the pages are followed in the same window.
void showHelp(int contextId);

// The help window once it has been made (nullptr before); it lives until the
// application goes.
QTextBrowser* helpWindow();

} // namespace q7::forms
