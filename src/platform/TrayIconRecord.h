#pragma once

#include <QIcon>
#include <QString>

namespace brisora {

/// What the tray icon service is handed on every call: the icon and its tip.
struct TrayIconRecord
{
    static constexpr int kTipCapacity = 64; ///< characters, the closing NUL included

    QIcon hIcon;
    QString szTip; ///< at most kTipCapacity - 1 visible characters

    /// Stores a tip text (without its NUL): the first 63 characters are kept.
    void storeTip(const QString& text);
};

/// The three calls made with the record.
enum class TrayOperation
{
    Add = 0,
    Modify = 1,
    Delete = 2,
};

} // namespace brisora
