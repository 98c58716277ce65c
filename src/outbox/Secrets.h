#pragma once

#include <QString>
#include <optional>

// Passwords in the desktop's keyring (the Secret Service, through QtKeychain), never in a file of
// the program's. Where no keyring answers, a password is kept for this sitting only, in memory.
namespace secrets {

enum class Kept { Keyring, ThisSitting, Not };

// The keyring's entry, else this sitting's; nothing when neither has it. `why` says why the
// keyring could not be asked (empty when it answered).
std::optional<QString> read(const QString& key, QString* why = nullptr);
// Into the keyring; where it cannot be reached, for this sitting (and `why` says why).
Kept store(const QString& key, const QString& password, QString* why = nullptr);
// From the keyring and this sitting.
bool forget(const QString& key);

// For this sitting only: a password the seller typed when asked.
void keepForSitting(const QString& key, const QString& password);

}  // namespace secrets
