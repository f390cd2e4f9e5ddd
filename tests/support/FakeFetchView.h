#pragma once

#include "FetchView.h"

#include <QStringList>

#include <vector>

namespace brisora::test {

/// The main window as the weather fetch sees it, reduced to what a test checks.
class FakeFetchView final : public FetchView
{
public:
    void ClearWeather() override
    {
        ++clears;
        day1.clear();
    }
    void ParseWeather(const std::string& reply) override { parsed.push_back(reply); }
    void setTitleCaption(const QString& caption) override { title = caption; }
    QString barCaption() const override { return bar; }
    void setBarCaption(const QString& caption) override { bar = caption; }
    void showNetworkError() override { day1 = QStringLiteral("network error"); }

    int clears = 0;
    std::vector<std::string> parsed;
    QString title;
    QString bar;
    QString day1;
};

} // namespace brisora::test
