#pragma once
// An error whose cause the player can be told in words ("磁盘空间不足。"):
// the commands' error boundary sits below the libraries that know such
// causes, so the error carries them up.

#include <stdexcept>

#include <QString>

class EExplainedError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // The cause, one Chinese sentence for the player; what() stays the
    // developer's text.
    virtual QString Reason() const = 0;
};
