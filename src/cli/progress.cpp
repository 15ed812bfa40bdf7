#include "cli/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace locseq::cli {

namespace {

constexpr int kWidestBar = 40;     // the bar itself, in columns
constexpr int kNarrowestBar = 10;  // below this, the share alone

// The columns of the terminal on `fd`; 80 when it does not say.
int columns_of(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

std::string bar_line(const std::string& title, const Progress& p, int columns) {
  const std::size_t width = static_cast<std::size_t>(std::max(columns, 2) - 1);
  std::string head = title + ":";
  if (p.steps > 0) {
    head += " step " + std::to_string(p.step) + " of " + std::to_string(p.steps);
  }
  if (p.total > 0) {
    const std::int64_t done = std::clamp<std::int64_t>(p.done, 0, p.total);
    const std::string percent = std::to_string(done * 100 / p.total);
    const std::string tail = std::string(4 - percent.size(), ' ') + percent + "%";
    const std::size_t room = width > head.size() + tail.size() + 3
                                 ? width - head.size() - tail.size() - 3  // " [", "]"
                                 : 0;
    const std::size_t bar = std::min<std::size_t>(room, kWidestBar);
    if (bar >= kNarrowestBar) {
      const auto filled = static_cast<std::size_t>(done * static_cast<std::int64_t>(bar) / p.total);
      head += " [" + std::string(filled, '#') + std::string(bar - filled, '.') + "]";
    }
    head += tail;
  }
  if (head.size() > width) head.resize(width);
  return head;
}

std::int64_t steady_milliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

ProgressBar::ProgressBar(std::streambuf& terminal, std::string title, std::function<int()> columns,
                         std::function<std::int64_t()> now)
    : terminal_(terminal),
      title_(std::move(title)),
      columns_(std::move(columns)),
      now_(std::move(now)) {}

void ProgressBar::put(const std::string& text) {
  terminal_.sputn(text.data(), static_cast<std::streamsize>(text.size()));
  terminal_.pubsync();
}

void ProgressBar::show(const Progress& p) {
  if (!at_line_start_) return;
  const std::int64_t now = now_();
  if (drawings_ > 0 && now - last_ < kInterval) return;
  std::string line = bar_line(title_, p, columns_());
  if (line == shown_) return;
  // Blanks over what a longer line before left.
  if (shown_.size() > line.size()) line.resize(shown_.size(), ' ');
  put('\r' + line);
  shown_ = std::move(line);
  last_ = now;
  ++drawings_;
}

void ProgressBar::clear() {
  if (shown_.empty()) return;
  const std::string blanks = '\r' + std::string(shown_.size(), ' ') + '\r';
  shown_.clear();
  put(blanks);
}

// A stream buffer that hands its text on to another, clearing the bar
// first and noting where the text left the cursor.
class ProgressDisplay::Passing final : public std::streambuf {
 public:
  Passing(std::streambuf& to, ProgressBar& bar) : to_(to), bar_(bar) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    bar_.before_text();
    const int_type put = to_.sputc(traits_type::to_char_type(c));
    bar_.after_text(traits_type::to_char_type(c));
    return put;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n <= 0) return 0;
    bar_.before_text();
    const std::streamsize put = to_.sputn(s, n);
    bar_.after_text(s[n - 1]);
    return put;
  }
  int sync() override { return to_.pubsync(); }

 private:
  std::streambuf& to_;
  ProgressBar& bar_;
};

bool is_terminal(int fd) {
  return fd >= 0 && ::isatty(fd) == 1;
}

ProgressDisplay::ProgressDisplay(Streams s, const std::string& title, bool wanted) : s_(s) {
  if (!wanted || !is_terminal(s.err_fd)) return;
  const int fd = s.err_fd;
  bar_ = std::make_unique<ProgressBar>(*s.err.rdbuf(), title, [fd] { return columns_of(fd); });
  auto passing = [this](std::ostream& original, std::unique_ptr<Passing>& buffer,
                        std::unique_ptr<std::ostream>& stream) {
    original.flush();
    buffer = std::make_unique<Passing>(*original.rdbuf(), *bar_);
    stream = std::make_unique<std::ostream>(buffer.get());
    stream->flags(original.flags());
    stream->exceptions(original.exceptions());
  };
  passing(s.err, err_buffer_, err_);
  // Standard output needs the bar cleared only when it reaches a terminal.
  if (is_terminal(s.out_fd)) passing(s.out, out_buffer_, out_);
  set_progress_meter(this);
}

ProgressDisplay::~ProgressDisplay() {
  if (!bar_) return;
  set_progress_meter(nullptr);
  try {
    if (out_) s_.out.flush();
    bar_->clear();
  } catch (...) {  // stopped while clearing: the terminal keeps what it has
  }
}

Streams ProgressDisplay::streams() const {
  if (!bar_) return s_;
  return {s_.in, out_ ? *out_ : s_.out, *err_, s_.out_fd, s_.err_fd};
}

void ProgressDisplay::show(const Progress& p) {
  // What standard output holds reaches the terminal before the bar.
  if (out_) s_.out.flush();
  bar_->show(p);
}

}  // namespace locseq::cli
