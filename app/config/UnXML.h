// TSystemParams, the small XML parameter reader (unit UnXML),
// over pugixml.
//
// A path is a string of element names separated by "/", evaluated as an XPath
// against the document: "LanguageSet/AppTitle" (relative to the document)
// and "/LanguageSet/AppTitle" (absolute) both designate the element AppTitle
// under the root element LanguageSet.
//
// Errors are raised as XmlError: a missing file in LoadFromFile, the
// root-element conflict of CreatePath, a path that is not a valid XPath, a
// failed save.
#pragma once

#include <QString>

#include <memory>
#include <stdexcept>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

namespace lumora {

// An error of the XML reader; message() is the text to show.
class XmlError : public std::runtime_error {
public:
    explicit XmlError(const QString &message);
    const QString &message() const { return message_; }

private:
    QString message_;
};

class TSystemParams {
public:
    // The empty document only.
    TSystemParams();
    // The document, then LoadFromFile(fileName); its error leaves the
    // constructor.
    explicit TSystemParams(const QString &fileName);
    virtual ~TSystemParams();
    TSystemParams(const TSystemParams &) = delete;
    TSystemParams &operator=(const TSystemParams &) = delete;

    // Remembers fileName. No file of that name: XmlError with the message
    // fileName + " 文件没有找到,加载xml失败". Otherwise loads it; a file that is
    // not well-formed (or cannot be read, or nests elements more than 256
    // deep) loads as an empty document. The
    // encoding is the one its byte order mark or XML declaration states; a
    // file that states none and is not valid UTF-8 is read as GB18030.
    virtual void LoadFromFile(const QString &fileName);
    // Saves the document to the remembered name / to fileName, as UTF-8 and
    // atomically. XmlError when it cannot be written.
    virtual void Save();
    virtual void SaveToFile(const QString &fileName);
    // A counted reference to the document.
    virtual std::shared_ptr<pugi::xml_document> GetDocument();
    // The text content of the first node the path designates (all its text,
    // as the parser reads it: surrounding white space is kept), or
    // defaultValue when no node does. A node with no text gives empty text.
    virtual QString ReadValue(const QString &path, const QString &defaultValue);
    // Sets the text content of the node the path designates, creating it with
    // CreatePath when there is none. Saving is left to the caller.
    virtual void WriteValue(const QString &path, const QString &value);
    // The element the path designates, creating missing elements. XmlError
    // "已经有一个根元素<root>了，不能再加一个不同的根<first>" when the
    // document's root is not the path's first name.
    virtual pugi::xml_node CreatePath(const QString &path);

    const QString &FileName() const { return fileName_; }

private:
    std::shared_ptr<pugi::xml_document> document_;
    QString fileName_;
};

} // namespace lumora
