#pragma once
// The keys the window layer handles itself (Tab, Enter, Space on the focused control), seen
// before any widget acts on them; and Shift+F10, the desktop's other key for a context menu.
#include <QObject>

#include <map>

#include "runtime/backends/platform.h"

namespace rt {

class QtPlatform;

class QtKeyFilter : public QObject {
public:
    explicit QtKeyFilter(QtPlatform& platform) : platform_(platform) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtPlatform& platform_;
    // Whether the window layer took the last first press of each key: auto-repeated presses
    // and their releases follow it without being reported.
    std::map<Key, bool> taken_;
};

}  // namespace rt
