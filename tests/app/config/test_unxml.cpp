// TSystemParams over pugixml.
#include "config/UnXML.h"

#include "support/TestFiles.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;
using test::U;

TEST(TSystemParams, AMissingFileRaisesTheNotFoundError) {
    DataDir dir;
    const QString name = dir.File("Language/xx/Language.xml");
    try {
        TSystemParams params(name);
        FAIL() << "no error";
    } catch (const XmlError &e) {
        EXPECT_EQ(e.message(), name + U(" 文件没有找到,加载xml失败"));
        EXPECT_EQ(QString::fromUtf8(e.what()), e.message());
    }
    // A folder of that name is not a file either.
    QDir().mkpath(dir.File("folder.xml"));
    TSystemParams params;
    EXPECT_THROW(params.LoadFromFile(dir.File("folder.xml")), XmlError);
    EXPECT_EQ(params.FileName(), dir.File("folder.xml"));
}

TEST(TSystemParams, ReadsTheFirstNodeThePathDesignates) {
    DataDir dir;
    dir.Write("a.xml", U("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<LanguageSet><AppTitle>投票</AppTitle><AppTitle>second</AppTitle>"
                         "<Tip13></Tip13><Eq>a=b=c</Eq><Nested>x<b>y</b>z</Nested>"
                         "<Amp>A &amp; B</Amp><Spaced>  two  </Spaced></LanguageSet>")
                           .toUtf8());
    TSystemParams params(dir.File("a.xml"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/AppTitle"), QStringLiteral("d")),
              U("投票"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("/LanguageSet/AppTitle"), QStringLiteral("d")),
              U("投票"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("AppTitle"), QStringLiteral("d")),
              QStringLiteral("d")); // relative to the document, not the root
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Tip13"), QStringLiteral("d")),
              QString()); // present but empty: empty, not the default
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Eq"), QString()),
              QStringLiteral("a=b=c"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Nested"), QString()),
              QStringLiteral("xyz"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Amp"), QString()),
              QStringLiteral("A & B"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Spaced"), QString()),
              QStringLiteral("  two  "));
}

TEST(TSystemParams, AFileThatIsNotWellFormedLoadsAsAnEmptyDocument) {
    DataDir dir;
    dir.Write("bad.xml", "<LanguageSet><AppTitle>x</AppTitle>");
    TSystemParams params(dir.File("bad.xml"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/AppTitle"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(params.GetDocument()->first_child());
    dir.Write("empty.xml", "");
    TSystemParams empty(dir.File("empty.xml"));
    EXPECT_FALSE(empty.GetDocument()->first_child());
}

TEST(TSystemParams, AnInvalidPathIsAnError) {
    TSystemParams params;
    EXPECT_THROW(params.ReadValue(QStringLiteral("LanguageSet/"), QString()), XmlError);
    EXPECT_THROW(params.ReadValue(QStringLiteral("a b"), QString()), XmlError);
}

TEST(TSystemParams, ReadsTheDeclaredEncoding) {
    DataDir dir;
    // 张三 in GB18030 under a GB2312 declaration.
    dir.Write("gb.xml",
              QByteArray("<?xml version=\"1.0\" encoding=\"GB2312\"?>"
                         "<LanguageSet><AppTitle>\xD5\xC5\xC8\xFD</AppTitle></LanguageSet>"));
    TSystemParams gb(dir.File("gb.xml"));
    EXPECT_EQ(gb.ReadValue(QStringLiteral("LanguageSet/AppTitle"), QString()), U("张三"));
    // No declaration and not UTF-8: GB18030.
    dir.Write("legacy.xml",
              QByteArray("<LanguageSet><AppTitle>\xC0\xEE\xCB\xC4</AppTitle></LanguageSet>"));
    TSystemParams legacy(dir.File("legacy.xml"));
    EXPECT_EQ(legacy.ReadValue(QStringLiteral("LanguageSet/AppTitle"), QString()), U("李四"));
    // UTF-16 with a byte order mark.
    const QString text = U("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                           "<LanguageSet><AppTitle>王五</AppTitle></LanguageSet>");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    dir.Write("utf16.xml", utf16);
    TSystemParams wide(dir.File("utf16.xml"));
    EXPECT_EQ(wide.ReadValue(QStringLiteral("LanguageSet/AppTitle"), QString()), U("王五"));
}

TEST(TSystemParams, SavesAsUtf8) {
    DataDir dir;
    dir.Write("gb.xml",
              QByteArray("<?xml version=\"1.0\" encoding=\"GB2312\"?>"
                         "<LanguageSet><AppTitle>\xD5\xC5\xC8\xFD</AppTitle></LanguageSet>"));
    TSystemParams params(dir.File("gb.xml"));
    params.Save();
    const QByteArray saved = dir.Read("gb.xml");
    EXPECT_FALSE(saved.contains("GB2312")) << saved.toStdString();
    EXPECT_TRUE(saved.isValidUtf8());
    EXPECT_TRUE(saved.contains(U("张三").toUtf8()));
    TSystemParams again(dir.File("gb.xml"));
    EXPECT_EQ(again.ReadValue(QStringLiteral("LanguageSet/AppTitle"), QString()), U("张三"));
}

TEST(TSystemParams, CreatePathCreatesUnderTheExistingElements) {
    DataDir dir;
    dir.Write("a.xml", "<LanguageSet><A><Old/></A></LanguageSet>");
    TSystemParams params(dir.File("a.xml"));
    pugi::xml_node b = params.CreatePath(QStringLiteral("LanguageSet/A/B"));
    ASSERT_TRUE(b);
    EXPECT_STREQ(b.name(), "B");
    EXPECT_STREQ(b.parent().name(), "A");
    EXPECT_STREQ(b.parent().parent().name(), "LanguageSet");
    EXPECT_EQ(params.GetDocument()->document_element().child("A").child("B"), b);
    // Again: the same element, nothing new.
    EXPECT_EQ(params.CreatePath(QStringLiteral("/LanguageSet/A/B")), b);
    int count = 0;
    for (const pugi::xml_node &child : b.parent().children("B")) {
        (void)child;
        ++count;
    }
    EXPECT_EQ(count, 1);
}

TEST(TSystemParams, CreatePathRefusesASecondRoot) {
    TSystemParams params;
    params.CreatePath(QStringLiteral("LanguageSet/AppTitle"));
    try {
        params.CreatePath(QStringLiteral("Other/AppTitle"));
        FAIL() << "no error";
    } catch (const XmlError &e) {
        EXPECT_EQ(e.message(), U("已经有一个根元素LanguageSet了，不能再加一个不同的根Other"));
    }
    EXPECT_THROW(params.CreatePath(QStringLiteral("/Other")), XmlError);
}

TEST(TSystemParams, CreatePathOnAnEmptyDocumentMakesTheRoot) {
    TSystemParams params;
    pugi::xml_node node = params.CreatePath(QStringLiteral("/Root/Child"));
    ASSERT_TRUE(node);
    EXPECT_STREQ(params.GetDocument()->document_element().name(), "Root");
    EXPECT_STREQ(node.name(), "Child");
    EXPECT_FALSE(params.CreatePath(QString()));                         // no name: nothing
    EXPECT_THROW(params.CreatePath(QStringLiteral("Root/")), XmlError); // empty last name
}

TEST(TSystemParams, WriteValueCreatesAndSetsTheText) {
    DataDir dir;
    TSystemParams params;
    params.WriteValue(QStringLiteral("LanguageSet/AppTitle"), U("投票 & <系统>"));
    params.WriteValue(QStringLiteral("LanguageSet/Tip1"), QStringLiteral("one"));
    params.WriteValue(QStringLiteral("LanguageSet/Tip1"), QStringLiteral("two"));
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Tip1"), QString()),
              QStringLiteral("two"));
    params.SaveToFile(dir.File("out.xml"));
    TSystemParams loaded(dir.File("out.xml"));
    EXPECT_EQ(loaded.ReadValue(QStringLiteral("LanguageSet/AppTitle"), QString()),
              U("投票 & <系统>"));
    EXPECT_EQ(loaded.ReadValue(QStringLiteral("LanguageSet/Tip1"), QString()),
              QStringLiteral("two"));
    loaded.WriteValue(QStringLiteral("LanguageSet/Tip1"), QString());
    loaded.Save();
    TSystemParams again(dir.File("out.xml"));
    EXPECT_EQ(again.ReadValue(QStringLiteral("LanguageSet/Tip1"), QStringLiteral("d")), QString());
}

TEST(TSystemParams, SaveToAMissingFolderIsAnError) {
    DataDir dir;
    TSystemParams params;
    params.WriteValue(QStringLiteral("LanguageSet/AppTitle"), QStringLiteral("x"));
    EXPECT_THROW(params.SaveToFile(dir.File("no/such/out.xml")), XmlError);
}

TEST(TSystemParams, GetDocumentIsACountedReference) {
    TSystemParams params;
    std::shared_ptr<pugi::xml_document> document = params.GetDocument();
    EXPECT_EQ(document, params.GetDocument());
    EXPECT_GE(document.use_count(), 2);
    document->append_child("LanguageSet").append_child("Quit").text().set("bye");
    EXPECT_EQ(params.ReadValue(QStringLiteral("LanguageSet/Quit"), QString()),
              QStringLiteral("bye"));
}

} // namespace
} // namespace lumora
