#ifndef TREADERROR_H
#define TREADERROR_H

#include <QString>
#include <stdexcept>

// A structural error met while reading a set file or one of its sections; it
// carries the text shown to the user.
class TReadError : public std::runtime_error
{
public:
    explicit TReadError(const QString& message)
        : std::runtime_error(message.toStdString()), text(message) {}
    QString message() const { return text; }

private:
    QString text;
};

#endif
