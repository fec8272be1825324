#pragma once

#include <QString>

#include <cstdint>

namespace q7::app {

// A progress bar on standard error, drawn only when it is a terminal.
class Progress {
public:
    explicit Progress(QString label);
    ~Progress();
    void update(int64_t done, int64_t total);

private:
    QString label_;
    bool terminal_;
    int lastPercent_ = -1;
};

} // namespace q7::app
