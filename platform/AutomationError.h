#pragma once

#include <QString>
#include <exception>
#include <string>

namespace q7 {

// The platform's run-time error numbers that this system raises or tests for.
enum ErrorNumber : int {
    ErrOverflow = 6,
    ErrTypeMismatch = 13,
    ErrBadCallOrArgument = 5,
    ErrSubscriptOutOfRange = 9,
    ErrInvalidPropertyValue = 380,
    ErrObjectNotSet = 91,
    ErrInvalidUseOfNull = 94,
    ErrCannotCreateObject = 429,
    ErrNoSuchMember = 438,
    ErrWrongArgumentCount = 450,
    ErrNameInvalid = 90,
    ErrProvider = 3709, // the database refused or failed a statement
    ErrElementNotFound = 35601, // a collection has no element of that key
};

// A run-time error of the automation platform: a number and a description.
class AutomationError : public std::exception {
public:
    AutomationError(int number, QString description);
    // The platform's standard description for a known number.
    explicit AutomationError(int number);

    int number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

    static QString standardDescription(int number);

private:
    int number_;
    QString description_;
    std::string what_;
};

} // namespace q7
