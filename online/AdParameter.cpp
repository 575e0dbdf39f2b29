#include "AdParameter.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QFile>
#include <QXmlStreamReader>

#include "IniFile.h"

namespace {

// Advert lists are a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxListBytes = 8 * 1024 * 1024;
// A list holds three levels and a few dozen elements. The lists come from the
// network: deeper nesting or more elements end the parse like a fault, so a
// hostile list costs neither stack nor memory.
constexpr size_t kMaxDepth = 16;
constexpr size_t kMaxElements = 10000;

struct TNode {
    QString Name;
    QXmlStreamAttributes Attributes;
    std::vector<std::unique_ptr<TNode>> Children;

    const TNode *Child(QStringView name) const
    {
        for (const auto &c : Children) {
            if (c->Name == name)
                return c.get();
        }
        return nullptr;
    }
    std::optional<QString> Attribute(QLatin1StringView name) const
    {
        if (!Attributes.hasAttribute(name))
            return std::nullopt;
        return Attributes.value(name).toString();
    }
};

// Builds the element tree up to the first fault of the XML, the first
// element nested deeper than kMaxDepth or the element after kMaxElements:
// elements whose start tag was read before are kept with their attributes.
std::unique_ptr<TNode> readTree(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    std::unique_ptr<TNode> root;
    std::vector<TNode *> open;
    size_t elements = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        if (reader.isStartElement()) {
            if (open.size() >= kMaxDepth || ++elements > kMaxElements)
                break;
            auto node = std::make_unique<TNode>();
            node->Name = reader.name().toString();
            node->Attributes = reader.attributes();
            TNode *raw = node.get();
            if (open.empty()) {
                if (root)
                    break;
                root = std::move(node);
            } else {
                open.back()->Children.push_back(std::move(node));
            }
            open.push_back(raw);
        } else if (reader.isEndElement() && !open.empty()) {
            open.pop_back();
        }
    }
    return root;
}

// Integers are written the way the settings file writes them (decimal, or
// "$"/"0x" hex, with a sign); anything else is malformed.
std::optional<int> toInt(const QString &text)
{
    const std::string bytes = text.trimmed().toStdString();
    // StrToIntDef has no failure result: two different defaults tell a
    // parsed value from a fallback.
    const int a = StrToIntDef(bytes, 0);
    const int b = StrToIntDef(bytes, 1);
    if (a != b)
        return std::nullopt;
    return a;
}

std::optional<int> intParameter(const TNode *parameters, QStringView name)
{
    const TNode *node = parameters->Child(name);
    if (!node)
        return std::nullopt;
    const auto value = node->Attribute(QLatin1StringView("Value"));
    if (!value)
        return std::nullopt;
    return toInt(*value);
}

}  // namespace

bool ParseAdXml(const QByteArray &xml, bool browserMode, TAdParameter &params)
{
    const std::unique_ptr<TNode> root = readTree(xml);
    if (!root)
        return false;
    const TNode *parameters = root->Child(u"Parameter");
    if (!parameters)
        return false;

    int *const numbers[] = {&params.AdWidth, &params.AdHeight, &params.StartPlayInterval,
                            &params.MaxPalyNum, &params.AdInterval};
    const QStringView names[] = {u"AdWidth", u"AdHeight", u"StartPlayInterval", u"MaxPalyNum",
                                 u"AdInterval"};
    for (size_t i = 0; i < std::size(numbers); ++i) {
        const auto value = intParameter(parameters, names[i]);
        if (!value)
            return false;
        *numbers[i] = *value;
    }
    const TNode *countHttp = parameters->Child(u"CountHttp");
    if (!countHttp)
        return false;
    const auto counter = countHttp->Attribute(QLatin1StringView("Value"));
    if (!counter)
        return false;
    params.CountHttp = *counter;

    const TNode *list = root->Child(u"HttpList");
    if (!list)
        return false;
    const auto countText = list->Attribute(QLatin1StringView("Count"));
    if (!countText)
        return false;
    const auto count = toInt(*countText);
    if (!count)
        return false;
    for (int i = 0; i < *count; ++i) {
        if (static_cast<size_t>(i) >= list->Children.size())
            return false;
        const TNode *item = list->Children[static_cast<size_t>(i)].get();
        const auto address = item->Attribute(QLatin1StringView("Value"));
        if (!address)
            return false;
        if (browserMode) {
            params.HttpList << *address;
            continue;
        }
        const auto title = item->Attribute(QLatin1StringView("Title"));
        if (!title)
            return false;
        params.HttpList << *address;
        params.TitleList << *title;
    }
    return true;
}

bool ParseAdXmlFile(const QString &path, bool browserMode, TAdParameter &params)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxListBytes)
        return false;
    return ParseAdXml(file.readAll(), browserMode, params);
}
