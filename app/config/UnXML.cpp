#include "config/UnXML.h"

#include "config/TextFile.h"
#include "platform/AtomicFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <pugixml.hpp>

#include <algorithm>

namespace lumora {

namespace {

// The encoding named in the XML declaration of bytes, or empty.
QByteArray DeclaredEncoding(const QByteArray &bytes) {
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\s*<\?xml\s[^>]*?encoding\s*=\s*["']([A-Za-z0-9._:-]+)["'])"));
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(bytes.left(256)));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

bool IsUtf8Name(const QByteArray &name) {
    const QByteArray lower = name.toLower();
    return lower == "utf-8" || lower == "utf8";
}

// pugixml detects byte order marks and UTF-16/32 without them by the zero
// bytes of "<?"; such files go to it as they are.
bool LeaveToParser(const QByteArray &bytes) {
    const QByteArrayView head = QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 4));
    return head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFE\xFF") ||
           head.startsWith("\xFF\xFE") || head.contains('\0');
}

// The document's bytes as UTF-8 for pugixml: decoded by the declared
// encoding, else by UTF-8 when valid, else as GB18030.
QByteArray ToUtf8(const QByteArray &bytes) {
    const QByteArray declared = DeclaredEncoding(bytes);
    if (!declared.isEmpty() && !IsUtf8Name(declared)) {
        QStringDecoder decoder(declared.constData());
        if (decoder.isValid()) {
            return QString(decoder.decode(bytes)).toUtf8();
        }
    }
    return DecodeText(bytes).toUtf8();
}

std::string Utf8(const QString &text) {
    return text.toStdString();
}

QString FromUtf8(const char *text) {
    return QString::fromUtf8(text);
}

// Nesting deeper than this is no language text: such a document is not
// well-formed for this reader. Nothing here walks a tree by recursion, but
// the parser's own tree edits do.
constexpr int kMaxDepth = 256;

// The text of every text node below a node, in document order. pugixml's
// walker goes without recursion, however deep the tree.
class TextCollector : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node &node) override {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text += node.value();
        }
        return true;
    }
    std::string text;
};

class DepthCheck : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node &) override { return depth() < kMaxDepth; }
};

// The DOM's text content of a selected node.
QString TextContent(const pugi::xpath_node &selected) {
    if (selected.attribute()) {
        return FromUtf8(selected.attribute().value());
    }
    const pugi::xml_node node = selected.node();
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        return FromUtf8(node.value());
    }
    TextCollector collector;
    pugi::xml_node(node).traverse(collector);
    return QString::fromStdString(collector.text);
}

pugi::xpath_node Select(const pugi::xml_document &document, const QString &path) {
    try {
        return document.select_node(Utf8(path).c_str());
    } catch (const pugi::xpath_exception &e) {
        throw XmlError(QStringLiteral("%1: %2").arg(path, FromUtf8(e.what())));
    }
}

class ByteWriter : public pugi::xml_writer {
public:
    void write(const void *data, size_t size) override {
        bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
    }
    QByteArray bytes;
};

} // namespace

XmlError::XmlError(const QString &message)
    : std::runtime_error(message.toStdString()), message_(message) {}

TSystemParams::TSystemParams() : document_(std::make_shared<pugi::xml_document>()) {}

TSystemParams::TSystemParams(const QString &fileName) : TSystemParams() {
    LoadFromFile(fileName);
}

TSystemParams::~TSystemParams() = default;

void TSystemParams::LoadFromFile(const QString &fileName) {
    fileName_ = fileName;
    if (!QFileInfo(fileName).isFile()) {
        throw XmlError(fileName + QStringLiteral(" 文件没有找到,加载xml失败"));
    }
    document_->reset();
    QByteArray bytes;
    if (ReadFileBytes(fileName, &bytes) != ReadStatus::Ok) {
        return; // unreadable: an empty document, as for a malformed file
    }
    pugi::xml_parse_result result;
    if (LeaveToParser(bytes)) {
        result = document_->load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                                        pugi::parse_default, pugi::encoding_auto);
    } else {
        const QByteArray utf8 = ToUtf8(bytes);
        result = document_->load_buffer(utf8.constData(), static_cast<size_t>(utf8.size()),
                                        pugi::parse_default, pugi::encoding_utf8);
    }
    DepthCheck depth;
    if (!result || !document_->traverse(depth)) {
        document_->reset(); // not well-formed: an empty document, no error
    }
    // The declaration is not kept (pugixml's default), so a saved document
    // declares no encoding other than its own UTF-8.
}

void TSystemParams::Save() {
    SaveToFile(fileName_);
}

void TSystemParams::SaveToFile(const QString &fileName) {
    ByteWriter writer;
    document_->save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    QString error;
    if (!WriteFileAtomically(fileName, writer.bytes, &error)) {
        throw XmlError(QStringLiteral("%1: %2").arg(fileName, error));
    }
}

std::shared_ptr<pugi::xml_document> TSystemParams::GetDocument() {
    return document_;
}

QString TSystemParams::ReadValue(const QString &path, const QString &defaultValue) {
    const pugi::xpath_node selected = Select(*document_, path);
    return selected ? TextContent(selected) : defaultValue;
}

void TSystemParams::WriteValue(const QString &path, const QString &value) {
    pugi::xpath_node selected = Select(*document_, path);
    if (selected.attribute()) {
        selected.attribute().set_value(Utf8(value).c_str());
        return;
    }
    pugi::xml_node node = selected ? selected.node() : CreatePath(path);
    if (!node) {
        throw XmlError(QStringLiteral("%1: no element to write").arg(path));
    }
    if (node.type() != pugi::node_element) {
        node.set_value(Utf8(value).c_str());
        return;
    }
    while (node.first_child()) {
        node.remove_child(node.first_child());
    }
    if (!value.isEmpty()) {
        node.append_child(pugi::node_pcdata).set_value(Utf8(value).c_str());
    }
}

pugi::xml_node TSystemParams::CreatePath(const QString &path) {
    QStringList names = path.split(u'/');
    if (!names.isEmpty() && names.first().isEmpty()) {
        names.removeFirst();
    }
    if (names.isEmpty()) {
        return {};
    }
    const pugi::xml_node root = document_->document_element();
    if (root && FromUtf8(root.name()) != names.first()) {
        throw XmlError(QStringLiteral("已经有一个根元素%1了，不能再加一个不同的根%2")
                           .arg(FromUtf8(root.name()), names.first()));
    }
    pugi::xml_node parent = root;
    QString prefix;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &name = names[i];
        if (name.isEmpty()) {
            throw XmlError(QStringLiteral("%1: empty element name").arg(path));
        }
        prefix += u'/' + name;
        pugi::xml_node node = Select(*document_, prefix).node();
        if (!node) {
            pugi::xml_node owner = i == 0 ? static_cast<pugi::xml_node>(*document_) : parent;
            node = owner.append_child(Utf8(name).c_str());
            if (!node) {
                throw XmlError(QStringLiteral("%1: cannot create element %2").arg(path, name));
            }
        }
        parent = node;
    }
    return parent;
}

} // namespace lumora
