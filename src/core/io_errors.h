#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace gim {

struct Context;

// The old run-time error numbers that users know from the messages.
namespace IoCode {
inline constexpr std::uint8_t Ok = 0;
inline constexpr std::uint8_t InvalidFunction = 1;
inline constexpr std::uint8_t FileNotFound = 2;
inline constexpr std::uint8_t PathNotFound = 3;
inline constexpr std::uint8_t TooManyOpenFiles = 4;
inline constexpr std::uint8_t AccessDenied = 5;
inline constexpr std::uint8_t InvalidFileName = 6;
inline constexpr std::uint8_t InvalidDrive = 15;
inline constexpr std::uint8_t CannotRemoveDir = 16;
inline constexpr std::uint8_t CannotRename = 17;
// Another program on the same data folder kept its write lock too long.
inline constexpr std::uint8_t LockViolation = 33;
inline constexpr std::uint8_t DiskRead = 100;
inline constexpr std::uint8_t DiskWrite = 101;
inline constexpr std::uint8_t FileNotAssigned = 102;
inline constexpr std::uint8_t FileNotOpen = 103;
inline constexpr std::uint8_t NotOpenForInput = 104;
inline constexpr std::uint8_t NotOpenForOutput = 105;
inline constexpr std::uint8_t InvalidNumber = 106;
inline constexpr std::uint8_t WriteProtected = 150;
inline constexpr std::uint8_t UnknownUnit = 151;
inline constexpr std::uint8_t DriveNotReady = 152;
inline constexpr std::uint8_t SeekError = 156;
inline constexpr std::uint8_t PaperOut = 159;
inline constexpr std::uint8_t DeviceWrite = 160;
inline constexpr std::uint8_t DeviceRead = 161;
inline constexpr std::uint8_t HardwareFailure = 162;
inline constexpr std::uint8_t DivisionByZero = 200;
} // namespace IoCode

// Maps an errno value of a failed open onto the old error numbers.
std::uint8_t IoCodeFromErrno(int err);

// The Spanish message of an error number ("FICHERO NO ENCONTRADO"; "Codigo de Error: 7").
QString IoErrorText(std::uint8_t code);

// The message of an error number followed by the name of the file it concerns ("ACCESO DENEGADO
// PORTAL.AVR"), as a step that writes several files names the one that failed.
QString IoErrorTextOf(std::uint8_t code, const QString& path);

// Shows the message of an error number.
void ShowIOError(Context& ctx, std::uint8_t code);

// The user was shown, during this command, that a folder stands where the file `path` should be: a
// command abandoned on that file is not told twice. The command runner forgets them as a command starts.
void RememberFolderShown(Context& ctx, const QString& path);
bool FolderShown(Context& ctx, const QString& path);
void ForgetFoldersShown(Context& ctx);

struct State;

// A whole number typed at a prompt. A text that is not one, or one outside [minimum, maximum], abandons
// the command with the conversion's message (IoAbort naming `fileName`), before anything was written.
std::int64_t ReadTypedNumber(State& st, QStringView typed, const QString& fileName,
                             std::int64_t minimum = INT64_MIN, std::int64_t maximum = INT64_MAX);

// A read or write failed after a successful open: the command is abandoned. The command runner
// catches it once per command and shows its message.
class IoAbort final : public std::runtime_error
{
public:
    IoAbort(std::uint8_t code, const QString& file);
    // With the whole message to show instead of the error number's own text (one naming the file, a
    // refusal of a read-only program).
    IoAbort(std::uint8_t code, const QString& file, const QString& message);
    std::uint8_t code() const { return m_code; }
    const QString& file() const { return m_file; }
    // What the command runner shows: the message given, or the error number's text.
    QString Message() const;

private:
    std::uint8_t m_code;
    QString m_file;
    QString m_message;
};

} // namespace gim
