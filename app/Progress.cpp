#include "app/Progress.h"

#include <cstdio>
#include <unistd.h>

namespace q7::app {

Progress::Progress(QString label) : label_(std::move(label)), terminal_(isatty(STDERR_FILENO) != 0) {}

Progress::~Progress()
{
    if (terminal_ && lastPercent_ >= 0)
        std::fputc('\n', stderr);
}

void Progress::update(int64_t done, int64_t total)
{
    if (!terminal_ || total <= 0)
        return;
    const int percent = static_cast<int>(100 * std::min(done, total) / total);
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    const int filled = percent * 30 / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%% (%lld/%lld)", label_.toUtf8().constData(), std::string(filled, '#').c_str(),
                 std::string(30 - filled, '.').c_str(), percent, static_cast<long long>(done), static_cast<long long>(total));
    std::fflush(stderr);
}

} // namespace q7::app
