#include "tests/engine/filesystem/documents/DocumentTestSupport.h"

using namespace DocumentsTest;

TEST(XmlElement, TypedAttributesReadWithTheRuntimeConversionsAndWriteFixedFormats)
{
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    IXmlElement* e = script->Parse(L"<e hex=\"0x10\" HEX=\"0XfF\" octal=\"010\" signed=\"  -42abc\" "
                                   L"float=\"1.5e2xyz\" word=\"abc\" True=\"True\" true=\"true\"/>")->GetChild(0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetAttributeUInt(L"hex"), 16u);
    EXPECT_EQ(e->GetAttributeUInt(L"HEX"), 255u);
    EXPECT_EQ(e->GetAttributeUInt(L"octal"), 8u);
    EXPECT_EQ(e->GetAttributeInt(L"hex"), 0);
    EXPECT_EQ(e->GetAttributeInt(L"octal"), 10);
    EXPECT_EQ(e->GetAttributeInt(L"signed"), -42);
    EXPECT_FLOAT_EQ(e->GetAttributeFloat(L"float"), 150.0f);
    EXPECT_EQ(e->GetAttributeFloat(L"word"), 0.0f);
    EXPECT_TRUE(e->GetAttributeBool(L"true"));
    EXPECT_FALSE(e->GetAttributeBool(L"True"));
    EXPECT_EQ(e->GetAttributeInt(L"missing"), 0);
    EXPECT_STREQ(e->GetAttribute(L"missing"), L"");
    EXPECT_FALSE(e->HasAttribute(L"Hex"));
    // Setting an attribute again replaces it in place.
    TIntrusivePointer<IXmlElement> w = IXmlElement_Create();
    w->SetName(L"w");
    w->SetAttribute(L"x", L"1"), w->SetAttributeFloat(L"f", 1.5f), w->SetAttributeFloat(L"g", -0.25f);
    w->SetAttributeInt(L"i", -7), w->SetAttributeUInt(L"u", 4294967295u), w->SetAttributeBool(L"b", true);
    w->SetAttributeBool(L"c", false), w->SetNameAttribute(L"n"), w->SetTagAttribute(L"t");
    w->SetAttribute(L"x", L"3");
    EXPECT_EQ(Saved(w.Get()), L"<w x=\"3\" f=\"1.500000\" g=\"-0.250000\" i=\"-7\" u=\"4294967295\" b=\"true\" "
                              L"c=\"false\" Name=\"n\" Tag=\"t\"/>\r\n");
}

TEST(XmlElement, ChildAccessSkipsCommentsAndRemovalKeepsCommentPositionsInStep)
{
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    IXmlElement* root = script->Parse(L"--c0\r\n<a/>\r\n--c1\r\n<b/>\r\n--c2\r\n--c3\r\n<c/>\r\n--c4\r\n");
    ASSERT_EQ(root->GetChildCount(), 3);
    EXPECT_STREQ(root->GetChild(1)->GetName(), L"b");
    EXPECT_TRUE(root->GetChild(3) == nullptr && root->GetChild(-1) == nullptr);
    root->RemoveChild(root->GetChild(1));
    ASSERT_EQ(root->GetChildCount(), 2);
    EXPECT_STREQ(root->GetChild(1)->GetName(), L"c");
    EXPECT_EQ(Saved(root), L"--c0\r\n<a/>\r\n--c1\r\n--c2\r\n--c3\r\n<c/>\r\n--c4\r\n");
    // Elements that are not children change nothing.
    root->RemoveChild(IXmlElement_Create().Get()), root->RemoveChild(nullptr), root->AddChild(nullptr);
    EXPECT_EQ(root->GetChildCount(), 2);
    TIntrusivePointer<IXmlElement> free = IXmlElement_Create();
    root->AddChild(free.Get());
    EXPECT_EQ(free->GetReferenceCount(), 2);
    EXPECT_EQ(root->GetChild(2), free.Get());
    root->RemoveAllChildren();
    EXPECT_EQ(Saved(root), L"");
}

TEST(XmlElement, AnElementNamedCommentStaysCountedAndIsWrittenWithoutText)
{
    TIntrusivePointer<IXmlElement> parent = IXmlElement_Create();
    parent->SetName(L"p");
    IXmlElement* first = parent->CreateChild();
    first->SetName(L"Comment");
    EXPECT_EQ(Saved(parent.Get()), L"<p>\r\n\t--\r\n</p>\r\n") << "no comment text to read";
    IXmlElement* second = parent->CreateChild();
    second->SetName(L"b");
    parent->RemoveChild(first);
    EXPECT_EQ(parent->GetChildCount(), 1);
    EXPECT_EQ(parent->GetChild(0), second);
}

TEST(XmlElement, FindsChildrenAndDescendantsByNameTagAndElementName)
{
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    IXmlElement* root = script->Parse(L"<Window Name=\"w\">\r\n\t--Button Name=\"hidden\"\r\n"
                                      L"\t<Panel Name=\"p\" Tag=\"t1\">\r\n\t\t<Button Name=\"deep\" Tag=\"t2\"/>\r\n"
                                      L"\t</Panel>\r\n\t<Button Name=\"b\" Tag=\"t2\"/>\r\n</Window>\r\n");
    IXmlElement* window = root->FindChildByName(L"Window");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(root->FindChildByElementName(L"window"), nullptr);
    EXPECT_STREQ(window->FindChildByElementName(L"Button")->GetNameAttribute(), L"b");
    EXPECT_EQ(window->FindChildByNameAttribute(L"deep"), nullptr) << "children only";
    EXPECT_EQ(window->FindChildByNameAttribute(L"hidden"), nullptr) << "comments are no elements";
    EXPECT_STREQ(window->FindDescendantByNameAttribute(L"deep")->GetTagAttribute(), L"t2");
    EXPECT_STREQ(window->FindChildByTagAttribute(L"t2")->GetNameAttribute(), L"b");
    // A child match wins over a deeper one.
    EXPECT_STREQ(root->FindDescendantByTagAttribute(L"t2")->GetNameAttribute(), L"b");
    EXPECT_STREQ(root->FindDescendantByTagAttribute(L"t1")->GetNameAttribute(), L"p");
    EXPECT_EQ(root->FindDescendantByNameAttribute(L"none"), nullptr);
    EXPECT_EQ(root->FindDescendantByTagAttribute(L"none"), nullptr);
}
