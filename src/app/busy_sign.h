// The busy cursor while something the user asked for keeps the one thread
// waiting on the line (a silent slave, a connection being made): past a
// short grace the user sees that the program works and has not hung.
#pragma once

namespace app {

// For as long as it lives, the program handles a command of the user
// (`user`) or a tick of the timer, whose passes the status bar's colours
// already show. The busy cursor goes when the outermost command ends.
class WaitSign {
public:
    explicit WaitSign(bool user);
    ~WaitSign();
    WaitSign(const WaitSign&) = delete;
    WaitSign& operator=(const WaitSign&) = delete;

private:
    bool outer_user_;
};

} // namespace app
