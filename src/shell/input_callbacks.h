#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The callbacks main registers with the input hooks. Each takes the main
// widget as its context and reaches the scene through the widget's view.
namespace InputCallbacks {

constexpr unsigned long kCopyDataId = 9487;

void keyboard(int usage, bool isDown, void *ctx);
void mouse(int button, bool isDown, int x, int y, void *ctx);
void copyData(unsigned long dwData, const char *data, unsigned int cbData, void *ctx);

// The text a copy-data message carries, or nothing when the message is not
// ours (wrong id) or the text is not exactly cbData bytes of UTF-8 (read up
// to the first zero byte).
std::optional<QString> copyDataText(unsigned long dwData, const char *data, unsigned int cbData);

// Second starts and other local programs reach the running instance through
// its single-instance socket. An empty message asks to restore the window;
// "copydata:<id>:<text>" is delivered like a copy-data window message with
// that id and text. Anything else is treated as a restore request.
inline constexpr char kCopyDataPrefix[] = "copydata:";
struct InstanceMessage {
    bool isCopyData = false;
    unsigned long dwData = 0;
    QByteArray data;
};
InstanceMessage parseInstanceMessage(const QString &message);

} // namespace InputCallbacks
