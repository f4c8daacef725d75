#include "Terminal.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace zelk::admin {

namespace {

std::string ReadHidden(int fd, const std::string& prompt) {
    if (write(fd, prompt.data(), prompt.size()) < 0) return {};
    termios old{};
    bool restore = tcgetattr(fd, &old) == 0;
    if (restore) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    std::string line;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    if (restore) tcsetattr(fd, TCSAFLUSH, &old);
    if (write(fd, "\n", 1) < 0) return line;
    return line;
}

} // namespace

std::string AskOnTerminal(const std::string& prompt) {
    int fd = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0) return {};
    std::string answer = ReadHidden(fd, prompt);
    close(fd);
    return answer;
}

std::string ReadPassword(const std::string& prompt, bool confirm) {
    if (!isatty(STDIN_FILENO)) {
        std::string line;
        std::getline(std::cin, line);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }
    std::string first = ReadHidden(STDIN_FILENO, prompt);
    if (confirm && ReadHidden(STDIN_FILENO, "Again: ") != first)
        throw std::runtime_error("the two passwords differ");
    return first;
}

} // namespace zelk::admin
