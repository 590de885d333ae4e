#include "platform/XmlPattern.h"

#include <QHash>
#include <string>
#include <utility>

#include "common/Failure.h"
#include "platform/XmlTree.h"

namespace zorva::xml::detail {

namespace {

struct Step {
    Name name;
    bool hasPredicate = false;
    Name attribute;
    std::string value;
};

struct Pattern {
    enum class Anchor {
        Descendants,
        Root,
        Context
    } anchor = Anchor::Context;
    std::vector<Step> steps;
};

[[noreturn]] void badPattern(const QString& pattern, const QString& why)
{
    throw Failure(err::XmlSelection,
                  QStringLiteral("Výraz pro výběr uzlů nelze vyhodnotit (%1): %2").arg(why, pattern));
}

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.') ||
           c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining;
}

class PatternParser {
public:
    explicit PatternParser(const QString& text) : text_(text) {}

    Pattern parse()
    {
        Pattern p;
        if (text_.startsWith(QLatin1String("//"))) {
            p.anchor = Pattern::Anchor::Descendants;
            pos_ = 2;
        } else if (text_.startsWith(QLatin1Char('/'))) {
            p.anchor = Pattern::Anchor::Root;
            pos_ = 1;
        }
        for (;;) {
            p.steps.push_back(step());
            if (atEnd()) break;
            if (peek() != QLatin1Char('/')) fail(QStringLiteral("neočekávaný znak na pozici %1").arg(pos_ + 1));
            ++pos_;
            if (!atEnd() && peek() == QLatin1Char('/')) fail(QStringLiteral("prázdný krok na pozici %1").arg(pos_ + 1));
        }
        return p;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return text_.at(pos_); }
    [[noreturn]] void fail(const QString& why) const { badPattern(text_, why); }

    void skipBlanks()
    {
        while (!atEnd() && peek().isSpace()) ++pos_;
    }

    // NCName (":" NCName)?
    Name qualifiedName(const QString& what)
    {
        const qsizetype start = pos_;
        auto ncName = [&] {
            if (atEnd() || !isNameStart(peek()))
                fail(QStringLiteral("%1 chybí nebo je neplatné na pozici %2").arg(what).arg(pos_ + 1));
            while (!atEnd() && isNameChar(peek())) ++pos_;
        };
        ncName();
        if (!atEnd() && peek() == QLatin1Char(':')) {
            ++pos_;
            ncName();
        }
        return Name::from(text_.mid(start, pos_ - start).toStdString());
    }

    Step step()
    {
        if (atEnd()) fail(QStringLiteral("prázdný krok na konci"));
        Step s;
        s.name = qualifiedName(QStringLiteral("jméno prvku"));
        if (!atEnd() && peek() == QLatin1Char('[')) {
            ++pos_;
            skipBlanks();
            if (atEnd() || peek() != QLatin1Char('@')) fail(QStringLiteral("podmínka musí začínat znakem @"));
            ++pos_;
            s.attribute = qualifiedName(QStringLiteral("jméno atributu"));
            skipBlanks();
            if (atEnd() || peek() != QLatin1Char('=')) fail(QStringLiteral("v podmínce chybí ="));
            ++pos_;
            skipBlanks();
            if (atEnd() || (peek() != QLatin1Char('\'') && peek() != QLatin1Char('"')))
                fail(QStringLiteral("hodnota podmínky musí být v uvozovkách"));
            const QChar quote = peek();
            const qsizetype valueStart = ++pos_;
            while (!atEnd() && peek() != quote) ++pos_;
            if (atEnd()) fail(QStringLiteral("neuzavřené uvozovky"));
            s.value = text_.mid(valueStart, pos_ - valueStart).toStdString();
            ++pos_;
            skipBlanks();
            if (atEnd() || peek() != QLatin1Char(']'))
                fail(QStringLiteral("za hodnotou podmínky chybí ] (pozice %1)").arg(pos_ + 1));
            ++pos_;
            s.hasPredicate = true;
        }
        return s;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

bool stepMatches(const xmlNode* n, const Step& s)
{
    if (n->type != XML_ELEMENT_NODE || !s.name.matches(prefixOf(n), n->name)) return false;
    if (!s.hasPredicate) return true;
    const xmlAttr* a = findAttribute(n, s.attribute);
    return a && attributeValue(a) == s.value;
}

// Whether the node is reached by the steps before the last one, walking up from it; `top` is where
// the first step's parent must be (nullptr: anywhere in the document).
bool ancestorsMatch(const xmlNode* n, const Pattern& p, const xmlNode* top)
{
    for (std::size_t i = p.steps.size() - 1; i > 0; --i) {
        n = n->parent;
        if (!n || !stepMatches(n, p.steps[i - 1])) return false;
    }
    return !top || n->parent == top;
}

const std::vector<xmlNode*>& candidatesFor(xmlDoc* doc, DocState& state, const Step& last)
{
    NameIndex& index = indexOf(doc, state);
    if (!last.hasPredicate) return index.named(last.name);
    return index.withAttribute(last.name, last.attribute, last.value);
}

// The editor asks the same few patterns thousands of times per run; each is parsed once.
const Pattern& parsedPattern(const QString& text)
{
    thread_local QHash<QString, Pattern> cache;
    const auto found = cache.constFind(text);
    if (found != cache.constEnd()) return *found;
    Pattern parsed = PatternParser(text).parse();
    if (cache.size() >= 1024) cache.clear();  // keyed row queries are many and used once each
    return *cache.insert(text, std::move(parsed));
}

}  // namespace

std::vector<Node> evaluate(xmlNode* context, const QString& text, bool firstOnly)
{
    const Pattern& p = parsedPattern(text);
    std::vector<Node> out;
    xmlDoc* doc = context->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDoc*>(context) : context->doc;
    const Step& last = p.steps.back();

    if (p.anchor == Pattern::Anchor::Descendants) {
        // "//" selects from the whole document, whatever the context, as XPath has it.
        if (!doc) return out;
        if (DocState* state = stateOf(doc)) {
            for (xmlNode* n : candidatesFor(doc, *state, last)) {
                if (stepMatches(n, last) && ancestorsMatch(n, p, nullptr)) {
                    out.emplace_back(n);
                    if (firstOnly) break;
                }
            }
            return out;
        }
        forEachElement(reinterpret_cast<xmlNode*>(doc), std::size_t(-1), [&](xmlNode* n) {
            if (stepMatches(n, last) && ancestorsMatch(n, p, nullptr)) {
                out.emplace_back(n);
                if (firstOnly) return false;
            }
            return true;
        });
        return out;
    }

    xmlNode* top = p.anchor == Pattern::Anchor::Root ? reinterpret_cast<xmlNode*>(doc) : context;
    if (!top) return out;
    // Child steps only: the matches lie exactly as deep below the context as there are steps.
    const std::size_t depth = p.steps.size();
    forEachElement(top, depth, [&](xmlNode* n) {
        if (stepMatches(n, last) && ancestorsMatch(n, p, top)) {
            out.emplace_back(n);
            if (firstOnly) return false;
        }
        return true;
    });
    return out;
}

}  // namespace zorva::xml::detail
