#pragma once
//! Record filters of the form the windows use: "Flag='5'", "State<>'2' and Flag='1'",
//! comparisons combined with and / or / not and parentheses.

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class TLumoFilter
{
public:
    using ValueOf = std::function<QVariant(const QString &fieldName)>;

    //! Parses a filter; throws TLumoDataSetError naming the filter when it cannot.
    static std::shared_ptr<TLumoFilter> parse(const QString &text);

    virtual ~TLumoFilter() = default;
    virtual bool matches(const ValueOf &valueOf) const = 0;
    //! The field names the filter reads.
    virtual QStringList fieldNames() const = 0;
};
