#include "platform/rtf.h"

#include "platform/report.h"
#include "records/cp1252.h"

#include <QHash>
#include <QString>
#include <array>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace gim {

namespace {

// ---- Writer ---------------------------------------------------------------------------------------------

void AppendNumber(QByteArray& out, long long v)
{
    out += QByteArray::number(v);
}

void AppendHexByte(QByteArray& out, unsigned char b)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[b >> 4];
    out += digits[b & 0xF];
}

// Text of a run: Windows-1252 where the page has the character, \uN? otherwise.
void AppendText(QByteArray& out, const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u >= 0x20 && u < 0x7F) {
            out += static_cast<char>(u);
        } else if (u < 0x20 || u == 0x7F) {
            AppendHexByte(out, static_cast<unsigned char>(u));
        } else {
            const char b = ToCp1252Char(c);
            if (b != '?') {
                AppendHexByte(out, static_cast<unsigned char>(b));
            } else {
                out += "\\u";
                AppendNumber(out, static_cast<std::int16_t>(u));
                out += '?';
            }
        }
    }
}

void AppendFontName(QByteArray& out, const QString& name)
{
    for (const QChar c : name) {
        if (c == QLatin1Char(';'))
            continue;
        AppendText(out, QString(c));
    }
}

struct WriterTables
{
    QStringList fonts;
    std::vector<std::uint32_t> colours;
    std::vector<int> fontOfStyle;   // per style index: font table index
    std::vector<int> colourOfStyle; // per style index: colour table index (1-based)
};

WriterTables BuildTables(const ReportDocument& doc)
{
    WriterTables t;
    const auto& styles = doc.Styles();
    t.fontOfStyle.assign(styles.size(), -1);
    t.colourOfStyle.assign(styles.size(), -1);
    auto use = [&](std::size_t s) {
        if (t.fontOfStyle[s] >= 0)
            return;
        const ReportTextStyle& style = styles[s];
        qsizetype f = t.fonts.indexOf(style.fontName);
        if (f < 0) {
            t.fonts << style.fontName;
            f = t.fonts.size() - 1;
        }
        t.fontOfStyle[s] = static_cast<int>(f);
        auto c = std::find(t.colours.begin(), t.colours.end(), style.colour);
        if (c == t.colours.end()) {
            t.colours.push_back(style.colour);
            c = t.colours.end() - 1;
        }
        t.colourOfStyle[s] = static_cast<int>(c - t.colours.begin()) + 1;
    };
    for (const ReportLine& line : doc.Lines())
        for (const ReportRun& run : line.runs)
            use(run.style);
    if (t.fonts.isEmpty())
        t.fonts << doc.CurrentStyle().fontName;
    return t;
}

void AppendParagraph(QByteArray& out, const ReportParagraphFormat& p)
{
    out += "\\pard";
    for (int tab : p.tabStops) {
        out += "\\tx";
        AppendNumber(out, tab);
    }
    switch (p.alignment) {
    case ReportAlignment::Left:
        break;
    case ReportAlignment::Center:
        out += "\\qc";
        break;
    case ReportAlignment::Right:
        out += "\\qr";
        break;
    case ReportAlignment::Justify:
        out += "\\qj";
        break;
    }
    if (p.leftIndent != 0) {
        out += "\\li";
        AppendNumber(out, p.leftIndent);
    }
    if (p.firstIndent != 0) {
        out += "\\fi";
        AppendNumber(out, p.firstIndent);
    }
    if (p.bullet)
        out += "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'95}}";
}

// The character state the writer has set so far; -1 = not set yet.
struct WrittenChar
{
    int font = -1;
    int halfPoints = -1;
    int colour = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

void AppendCharChanges(QByteArray& out, WrittenChar& w, const ReportTextStyle& s, int font, int colour)
{
    const qsizetype before = out.size();
    if (w.font != font) {
        out += "\\f";
        AppendNumber(out, font);
        w.font = font;
    }
    if (w.halfPoints != s.halfPoints) {
        out += "\\fs";
        AppendNumber(out, s.halfPoints);
        w.halfPoints = s.halfPoints;
    }
    if (w.colour != colour) {
        out += "\\cf";
        AppendNumber(out, colour);
        w.colour = colour;
    }
    if (w.bold != s.bold) {
        out += s.bold ? "\\b" : "\\b0";
        w.bold = s.bold;
    }
    if (w.italic != s.italic) {
        out += s.italic ? "\\i" : "\\i0";
        w.italic = s.italic;
    }
    if (w.underline != s.underline) {
        out += s.underline ? "\\ul" : "\\ulnone";
        w.underline = s.underline;
    }
    if (w.strikeOut != s.strikeOut) {
        out += s.strikeOut ? "\\strike" : "\\strike0";
        w.strikeOut = s.strikeOut;
    }
    if (out.size() != before)
        out += ' ';
}

// ---- Reader ---------------------------------------------------------------------------------------------

const std::array<QChar, 256>& Cp1252Table()
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            t[static_cast<std::size_t>(b)] = FromCp1252(std::string_view(&c, 1)).at(0);
        }
        return t;
    }();
    return table;
}

struct CharState
{
    int font = -1; // -1: the default font
    int halfPoints = 24;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

enum class Destination { Text, FontTable, ColourTable, Skip };

struct GroupState
{
    CharState ch;
    ReportParagraphFormat para;
    int uc = 1;
    Destination dest = Destination::Text;
};

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Destinations whose text is not part of the document.
bool IsSkippedDestination(const QByteArray& word)
{
    static const char* const skipped[] = {"stylesheet",
                                          "info",
                                          "pict",
                                          "object",
                                          "header",
                                          "headerl",
                                          "headerr",
                                          "headerf",
                                          "footer",
                                          "footerl",
                                          "footerr",
                                          "footerf",
                                          "footnote",
                                          "annotation",
                                          "pntext",
                                          "pntxta",
                                          "pntxtb",
                                          "listtable",
                                          "listoverridetable",
                                          "revtbl",
                                          "rsidtbl",
                                          "xmlnstbl",
                                          "themedata",
                                          "colorschememapping",
                                          "latentstyles",
                                          "datastore",
                                          "fldinst",
                                          "filetbl",
                                          "nonshppict",
                                          "private",
                                          "shp",
                                          "template",
                                          "bkmkstart",
                                          "bkmkend",
                                          "listtext",
                                          "txe",
                                          "xe",
                                          "tc",
                                          "atnid",
                                          "atnauthor",
                                          "comment",
                                          "doccomm",
                                          "author",
                                          "title",
                                          "subject",
                                          "operator",
                                          "keywords",
                                          "company",
                                          "category"};
    for (const char* s : skipped)
        if (word == s)
            return true;
    return false;
}

class RtfReader
{
public:
    explicit RtfReader(const QByteArray& bytes) : m_data(bytes.constData()), m_size(bytes.size()) {}

    void Read(ReportDocument& doc);

private:
    struct Token
    {
        enum Kind { End, OpenGroup, CloseGroup, Word, Symbol, Hex, Text } kind = End;
        QByteArray word;
        bool hasParam = false;
        long long param = 0;
        char ch = 0;
    };

    Token Next();
    // Skips to the end of the group whose opening brace was just read; reports whether the control word
    // `wanted` appeared in it.
    bool SkipGroup(const char* wanted = nullptr);

    void HandleWord(const Token& t);
    void HandleSymbol(char c);
    void Emit(QChar c);
    void SkipFallback();
    void EndParagraph();
    void FlushText();
    ReportTextStyle StyleOf(const CharState& ch) const;

    GroupState& State() { return m_stack.back(); }

    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_groupStart = false; // the last token opened a group

    std::vector<GroupState> m_stack;
    int m_defaultFont = 0;
    std::map<int, QString> m_fonts;
    int m_fontEntry = 0;
    QString m_fontName;
    std::vector<std::optional<std::uint32_t>> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;

    // The paragraph being read: runs of text with their styles, committed at its end.
    struct PendingRun
    {
        QString text;
        CharState ch;
    };
    std::vector<PendingRun> m_runs;
    QString m_text;
    CharState m_textState;
    bool m_lineOpen = false;
    ReportDocument* m_doc = nullptr;
};

RtfReader::Token RtfReader::Next()
{
    Token t;
    while (m_pos < m_size) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            t.kind = Token::OpenGroup;
            return t;
        }
        if (c == '}') {
            t.kind = Token::CloseGroup;
            return t;
        }
        if (c == '\r' || c == '\n')
            continue; // line ends in RTF are not text
        if (c != '\\') {
            t.kind = Token::Text;
            t.ch = c;
            return t;
        }
        if (m_pos >= m_size)
            return t;
        const char n = m_data[m_pos];
        if (IsLetter(n)) {
            const qsizetype start = m_pos;
            while (m_pos < m_size && IsLetter(m_data[m_pos]))
                ++m_pos;
            t.kind = Token::Word;
            t.word = QByteArray(m_data + start, m_pos - start);
            bool negative = false;
            if (m_pos < m_size && m_data[m_pos] == '-' && m_pos + 1 < m_size && IsDigit(m_data[m_pos + 1])) {
                negative = true;
                ++m_pos;
            }
            if (m_pos < m_size && IsDigit(m_data[m_pos])) {
                long long v = 0;
                while (m_pos < m_size && IsDigit(m_data[m_pos])) {
                    if (v < 100000000000LL)
                        v = v * 10 + (m_data[m_pos] - '0');
                    ++m_pos;
                }
                t.hasParam = true;
                t.param = negative ? -v : v;
            }
            if (m_pos < m_size && m_data[m_pos] == ' ')
                ++m_pos;
            return t;
        }
        ++m_pos;
        if (n == '\'') {
            int hi = m_pos < m_size ? HexValue(m_data[m_pos]) : -1;
            int lo = m_pos + 1 < m_size ? HexValue(m_data[m_pos + 1]) : -1;
            if (hi >= 0 && lo >= 0) {
                m_pos += 2;
                t.kind = Token::Hex;
                t.ch = static_cast<char>(hi * 16 + lo);
                return t;
            }
            continue;
        }
        t.kind = Token::Symbol;
        t.ch = n;
        return t;
    }
    return t;
}

bool RtfReader::SkipGroup(const char* wanted)
{
    bool seen = false;
    int depth = 1;
    while (depth > 0 && m_pos < m_size) {
        const Token t = Next();
        switch (t.kind) {
        case Token::End:
            return seen;
        case Token::OpenGroup:
            ++depth;
            break;
        case Token::CloseGroup:
            --depth;
            break;
        case Token::Word:
            if (wanted && t.word == wanted)
                seen = true;
            if (t.word == "bin" && t.hasParam && t.param > 0)
                m_pos = std::min(m_size, m_pos + static_cast<qsizetype>(t.param));
            break;
        default:
            break;
        }
    }
    return seen;
}

ReportTextStyle RtfReader::StyleOf(const CharState& ch) const
{
    ReportTextStyle s;
    const int font = ch.font >= 0 ? ch.font : m_defaultFont;
    auto it = m_fonts.find(font);
    if (it != m_fonts.end() && !it->second.isEmpty())
        s.fontName = it->second;
    s.halfPoints = ch.halfPoints > 0 ? ch.halfPoints : 24;
    s.bold = ch.bold;
    s.italic = ch.italic;
    s.underline = ch.underline;
    s.strikeOut = ch.strikeOut;
    if (ch.colour >= 0 && static_cast<std::size_t>(ch.colour) < m_colours.size() && m_colours[ch.colour])
        s.colour = *m_colours[ch.colour];
    return s;
}

void RtfReader::FlushText()
{
    if (m_text.isEmpty())
        return;
    m_runs.push_back(PendingRun{m_text, m_textState});
    m_text.clear();
}

void RtfReader::Emit(QChar c)
{
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
        EndParagraph();
        return;
    }
    const CharState& ch = State().ch;
    if (!m_text.isEmpty() &&
        (ch.font != m_textState.font || ch.halfPoints != m_textState.halfPoints ||
         ch.colour != m_textState.colour || ch.bold != m_textState.bold || ch.italic != m_textState.italic ||
         ch.underline != m_textState.underline || ch.strikeOut != m_textState.strikeOut))
        FlushText();
    if (m_text.isEmpty())
        m_textState = ch;
    m_text += c;
    m_lineOpen = true;
}

void RtfReader::EndParagraph()
{
    FlushText();
    ReportDocument& doc = *m_doc;
    doc.SetParagraphFormat(State().para);
    if (m_runs.empty()) {
        doc.SetTextStyle(StyleOf(State().ch));
        doc.AddLine(QString());
    } else {
        bool first = true;
        for (const PendingRun& r : m_runs) {
            doc.SetTextStyle(StyleOf(r.ch));
            if (first)
                doc.AddLine(r.text);
            else
                doc.Append(r.text);
            first = false;
        }
    }
    m_runs.clear();
    m_lineOpen = false;
}

void RtfReader::SkipFallback()
{
    int n = State().uc;
    while (n > 0 && m_pos < m_size) {
        const qsizetype save = m_pos;
        const Token t = Next();
        if (t.kind == Token::Text || t.kind == Token::Hex) {
            --n;
            continue;
        }
        m_pos = save; // a group or a control word ends the fallback early
        return;
    }
}

void RtfReader::HandleSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (State().dest == Destination::Text)
            Emit(QLatin1Char(c));
        else if (State().dest == Destination::FontTable)
            m_fontName += QLatin1Char(c);
        break;
    case '~':
        if (State().dest == Destination::Text)
            Emit(QChar(0x00A0));
        break;
    case '_':
        if (State().dest == Destination::Text)
            Emit(QLatin1Char('-'));
        break;
    case '\r':
    case '\n':
        if (State().dest == Destination::Text)
            EndParagraph();
        break;
    default:
        break; // \- optional hyphen, \: index entry, \| formula
    }
}

void RtfReader::HandleWord(const Token& t)
{
    GroupState& s = State();
    const QByteArray& w = t.word;
    const bool on = !t.hasParam || t.param != 0;
    const int param = static_cast<int>(t.param);

    if (s.dest == Destination::FontTable) {
        if (w == "f" && t.hasParam) {
            m_fontEntry = param;
            m_fontName.clear();
        }
        return;
    }
    if (s.dest == Destination::ColourTable) {
        if (w == "red") {
            m_red = param;
            m_colourSet = true;
        } else if (w == "green") {
            m_green = param;
            m_colourSet = true;
        } else if (w == "blue") {
            m_blue = param;
            m_colourSet = true;
        }
        return;
    }
    if (s.dest != Destination::Text)
        return;

    // Special characters.
    if (w == "par" || w == "sect" || w == "page" || w == "row" || w == "line") {
        EndParagraph();
    } else if (w == "tab" || w == "cell") {
        Emit(QLatin1Char('\t'));
    } else if (w == "u" && t.hasParam) {
        Emit(QChar(static_cast<char16_t>(static_cast<std::uint16_t>(t.param))));
        SkipFallback();
    } else if (w == "uc") {
        s.uc = std::max(0, param);
    } else if (w == "lquote") {
        Emit(QChar(0x2018));
    } else if (w == "rquote") {
        Emit(QChar(0x2019));
    } else if (w == "ldblquote") {
        Emit(QChar(0x201C));
    } else if (w == "rdblquote") {
        Emit(QChar(0x201D));
    } else if (w == "bullet") {
        Emit(QChar(0x2022));
    } else if (w == "endash") {
        Emit(QChar(0x2013));
    } else if (w == "emdash") {
        Emit(QChar(0x2014));
    } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
        Emit(QLatin1Char(' '));
    }
    // Character formatting.
    else if (w == "plain") {
        s.ch = CharState{};
    } else if (w == "b") {
        s.ch.bold = on;
    } else if (w == "i") {
        s.ch.italic = on;
    } else if (w == "strike" || w == "striked") {
        s.ch.strikeOut = on;
    } else if (w == "ulnone") {
        s.ch.underline = false;
    } else if (w.startsWith("ul") && w != "ulc") {
        s.ch.underline = on;
    } else if (w == "f" && t.hasParam) {
        s.ch.font = param;
    } else if (w == "fs" && t.hasParam) {
        s.ch.halfPoints = param > 0 ? param : 24;
    } else if (w == "cf" && t.hasParam) {
        s.ch.colour = param;
    }
    // Paragraph formatting.
    else if (w == "pard") {
        s.para = ReportParagraphFormat{};
    } else if (w == "tx" && t.hasParam) {
        s.para.tabStops.push_back(param);
    } else if (w == "ql") {
        s.para.alignment = ReportAlignment::Left;
    } else if (w == "qc") {
        s.para.alignment = ReportAlignment::Center;
    } else if (w == "qr") {
        s.para.alignment = ReportAlignment::Right;
    } else if (w == "qj") {
        s.para.alignment = ReportAlignment::Justify;
    } else if (w == "li") {
        s.para.leftIndent = param;
    } else if (w == "fi") {
        s.para.firstIndent = param;
    } else if (w == "deff" && t.hasParam) {
        m_defaultFont = param;
    }
}

void RtfReader::Read(ReportDocument& doc)
{
    m_doc = &doc;
    m_stack.push_back(GroupState{});
    const std::array<QChar, 256>& cp = Cp1252Table();
    int depth = 0;
    while (true) {
        const bool atGroupStart = m_groupStart;
        m_groupStart = false;
        const Token t = Next();
        if (t.kind == Token::End)
            break;
        switch (t.kind) {
        case Token::OpenGroup:
            m_stack.push_back(m_stack.back());
            ++depth;
            m_groupStart = true;
            break;
        case Token::CloseGroup:
            if (State().dest == Destination::FontTable && !m_fontName.isEmpty()) {
                m_fonts[m_fontEntry] = m_fontName.trimmed();
                m_fontName.clear();
            }
            if (m_stack.size() > 1)
                m_stack.pop_back();
            if (--depth <= 0)
                m_pos = m_size; // the document's closing brace
            break;
        case Token::Symbol:
            if (t.ch == '*' && atGroupStart) {
                const qsizetype save = m_pos;
                const Token dest = Next();
                if (dest.kind == Token::Word && dest.word == "pn") {
                    const bool bullet = SkipGroup("pnlvlblt");
                    m_stack.pop_back();
                    --depth;
                    if (bullet)
                        State().para.bullet = true;
                    break;
                }
                m_pos = save;
                SkipGroup();
                m_stack.pop_back();
                --depth;
                break;
            }
            HandleSymbol(t.ch);
            break;
        case Token::Word:
            if (t.word == "bin" && t.hasParam && t.param > 0) {
                m_pos = std::min(m_size, m_pos + static_cast<qsizetype>(t.param));
                break;
            }
            if (atGroupStart) {
                if (t.word == "fonttbl") {
                    State().dest = Destination::FontTable;
                    break;
                }
                if (t.word == "colortbl") {
                    State().dest = Destination::ColourTable;
                    break;
                }
                if (t.word == "pn") {
                    const bool bullet = SkipGroup("pnlvlblt");
                    m_stack.pop_back();
                    --depth;
                    if (bullet)
                        State().para.bullet = true;
                    break;
                }
                if (IsSkippedDestination(t.word)) {
                    SkipGroup();
                    m_stack.pop_back();
                    --depth;
                    break;
                }
            }
            HandleWord(t);
            break;
        case Token::Hex:
        case Token::Text: {
            const QChar c = cp[static_cast<unsigned char>(t.ch)];
            switch (State().dest) {
            case Destination::Text:
                Emit(c);
                break;
            case Destination::FontTable:
                if (c == QLatin1Char(';')) {
                    m_fonts[m_fontEntry] = m_fontName.trimmed();
                    m_fontName.clear();
                } else {
                    m_fontName += c;
                }
                break;
            case Destination::ColourTable:
                if (c == QLatin1Char(';')) {
                    if (m_colourSet)
                        m_colours.push_back((std::uint32_t(m_red & 0xFF) << 16) |
                                            (std::uint32_t(m_green & 0xFF) << 8) |
                                            std::uint32_t(m_blue & 0xFF));
                    else
                        m_colours.push_back(std::nullopt);
                    m_red = m_green = m_blue = 0;
                    m_colourSet = false;
                }
                break;
            case Destination::Skip:
                break;
            }
            break;
        }
        case Token::End:
            break;
        }
    }
    FlushText();
    if (!m_runs.empty())
        EndParagraph();
}

} // namespace

QByteArray WriteRtf(const ReportDocument& doc)
{
    const WriterTables tables = BuildTables(doc);
    QByteArray out;
    out.reserve(doc.LineCount() * 64 + 256);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (qsizetype i = 0; i < tables.fonts.size(); ++i) {
        out += "{\\f";
        AppendNumber(out, i);
        out += "\\fnil\\fcharset0 ";
        AppendFontName(out, tables.fonts[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (std::uint32_t c : tables.colours) {
        out += "\\red";
        AppendNumber(out, (c >> 16) & 0xFF);
        out += "\\green";
        AppendNumber(out, (c >> 8) & 0xFF);
        out += "\\blue";
        AppendNumber(out, c & 0xFF);
        out += ';';
    }
    out += "}\r\n\\uc1";

    WrittenChar written;
    const ReportParagraphFormat* paragraph = nullptr;
    for (const ReportLine& line : doc.Lines()) {
        const ReportParagraphFormat& p = doc.ParagraphOf(line);
        if (!paragraph || !(p == *paragraph)) {
            AppendParagraph(out, p);
            paragraph = &p;
            if (!out.endsWith('}'))
                out += ' ';
        }
        if (p.bullet)
            out += "{\\pntext \\'95\\tab }";
        for (const ReportRun& run : line.runs) {
            AppendCharChanges(out, written, doc.StyleOf(run), tables.fontOfStyle[run.style],
                              tables.colourOfStyle[run.style]);
            AppendText(out, run.text);
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

bool LooksLikeRtf(const QByteArray& bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

bool ReadRtf(const QByteArray& bytes, ReportDocument& doc)
{
    if (!LooksLikeRtf(bytes))
        return false;
    const ReportTextStyle pen = doc.CurrentStyle();
    const ReportParagraphFormat paragraph = doc.CurrentParagraph();
    doc.ClearText();
    RtfReader reader(bytes);
    reader.Read(doc);
    doc.SetTextStyle(pen);
    doc.SetParagraphFormat(paragraph);
    return true;
}

} // namespace gim
