#include <fstream>
#include <sstream>

#include "toolkit/check_buttons.h"
#include "toolkit/containers.h"
#include "toolkit/definition_parser.h"
#include "toolkit/edit.h"
#include "toolkit/label.h"
#include "toolkit/mask_edit.h"
#include "toolkit/radio_group.h"
#include "toolkit/search_button.h"
#include "toolkit_test_support.h"

namespace {

using namespace tk;

constexpr const char* kBase = R"(# the frame every screen shares
object frmBase: TfrmBase
  Caption = 'Base'
  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  Font.Style = []
  OnCreate = FormCreate
  object grbDados: TGroupBox
    Left = 0
    Width = 300
    object edtCodigo: TEdit
      Text = 'x'
      OnChange = edtCodigoChange
    end
  end
  object lblTela: TLabel
    Caption = 'BASE'
  end
end
)";

constexpr const char* kDerived = R"(inherited frmDerived: TfrmDerived
  Caption = 'Alteração Automática'
  Hint = 'uma ' +
    'dica com ''aspas'''
  ActiveControl = medFilial
  inherited grbDados: TGroupBox
    Width = 435
    ParentFont = False
    Font.Style = [fsBold]
    object medFilial: TMaskEdit
      Color = clInfoBk
      EditMask = '>aaaa;0; '
      Text = 'ab'
      OnChange = medFilialChange
      OnExit = medFilialExit
    end
    object rdgModo: TRadioGroup
      ItemIndex = 1
      Items = (
        'Colocar'
        'Retirar')
    end
    object btnFilial: TSearchButtonBase
      Associate = medFilial
      Glyph.Data = {
        0A0B
        0C}
    end
  end
end
)";

// A base form class and a class derived from it, each adding its definition and handlers.
class TfrmBase : public TForm {
 public:
  explicit TfrmBase(TComponent* owner) : TForm(owner) {
    Handlers().add("FormCreate", TNotifyEvent([this](TComponent*) { log.add("FormCreate"); }));
    Handlers().add("edtCodigoChange",
                   TNotifyEvent([this](TComponent* s) { log.add(s->Name() + ".Change"); }));
  }
  std::vector<FormDefinition> Definitions() const override { return {{"base.def", kBase}}; }
  tktest::EventLog log;
};

class TfrmDerived : public TfrmBase {
 public:
  explicit TfrmDerived(TComponent* owner) : TfrmBase(owner) {
    Handlers().add("medFilialChange",
                   TNotifyEvent([this](TComponent* s) { log.add(s->Name() + ".Change"); }));
    Handlers().add("medFilialExit", TNotifyEvent([this](TComponent*) { log.add("exit"); }));
  }
  std::vector<FormDefinition> Definitions() const override {
    auto defs = TfrmBase::Definitions();
    defs.push_back({"derived.def", kDerived});
    return defs;
  }
  TMaskEdit* medFilial = nullptr;
  TRadioGroup* rdgModo = nullptr;

 protected:
  void BindComponents() override {
    bind("medFilial", medFilial);
    bind("rdgModo", rdgModo);
  }
};

class DefinitionReaderTest : public tktest::ToolkitTest {
 protected:
  void SetUp() override { app.Classes().add<TSearchButtonBase>("TSearchButtonBase"); }

  // The message of the definition error raised by reading `text` onto a fresh form.
  std::string readError(const std::string& text, const std::string& base = "") {
    auto* form = app.Create<tktest::ScriptedForm>();
    form->Handlers().add("Known", TNotifyEvent([](TComponent*) {}));
    form->Handlers().add("CloseHandler", TCloseEvent([](TComponent*, TCloseAction&) {}));
    if (!base.empty()) form->definitions.push_back({"base.def", base});
    form->definitions.push_back({"test.def", text});
    std::string message = "no error";
    try {
      form->CreateFromDefinitions(app.Classes());
    } catch (const EDefinitionError& e) {
      message = e.message();
    }
    app.FreeOwned(form);
    return message;
  }
};

TEST_F(DefinitionReaderTest, DerivedFormIsBuiltFromBothDefinitions) {
  TfrmDerived* frm = nullptr;
  app.CreateForm(frm);

  // The derived root renames the form; its values apply over the base's.
  EXPECT_EQ(frm->Name(), "frmDerived");
  EXPECT_EQ(frm->Caption(), "Alteração Automática");
  EXPECT_EQ(frm->Hint(), "uma dica com 'aspas'");

  // Every component belongs to the form; nesting gives the parents.
  auto* grb = dynamic_cast<TGroupBox*>(frm->FindComponent("grbDados"));
  ASSERT_NE(grb, nullptr);
  EXPECT_EQ(grb->Width(), 435);
  EXPECT_EQ(grb->Parent(), frm);
  ASSERT_NE(frm->medFilial, nullptr);
  EXPECT_EQ(frm->medFilial->Owner(), frm);
  EXPECT_EQ(frm->medFilial->Parent(), grb);
  std::vector<std::string> children;
  for (TControl* c : grb->Controls()) children.push_back(c->Name());
  EXPECT_EQ(children, (std::vector<std::string>{"edtCodigo", "medFilial", "rdgModo", "btnFilial"}));

  // Values: mask first, then the text through it; the font follows the bold box.
  EXPECT_EQ(frm->medFilial->EditText(), "ab  ");
  EXPECT_EQ(frm->medFilial->Text(), "ab");
  EXPECT_EQ(frm->medFilial->Color(), colors::clInfoBk);
  EXPECT_TRUE(frm->medFilial->EffectiveFont().Bold());
  EXPECT_EQ(frm->rdgModo->Items(), (std::vector<std::string>{"Colocar", "Retirar"}));
  EXPECT_EQ(frm->rdgModo->ItemIndex(), 1);  // given before its items, kept by Loaded
  auto* btn = dynamic_cast<TSearchButtonBase*>(frm->FindComponent("btnFilial"));
  ASSERT_NE(btn, nullptr);
  EXPECT_EQ(btn->Associate(), frm->medFilial);
  EXPECT_EQ(btn->GlyphData(), std::string("\x0A\x0B\x0C"));
  EXPECT_EQ(frm->ActiveControl(), frm->medFilial);  // named before it exists, resolved at the end

  // No change event fired while loading; OnCreate ran once; handlers are bound by name.
  EXPECT_EQ(frm->log.take(), "FormCreate");
  frm->medFilial->SetText("xy");
  dynamic_cast<TEdit*>(frm->FindComponent("edtCodigo"))->SetText("y");
  frm->medFilial->OnExit(frm->medFilial);
  EXPECT_EQ(frm->log.take(), "medFilial.Change edtCodigo.Change exit");
}

TEST_F(DefinitionReaderTest, EveryKindOfErrorNamesWhatAndWhere) {
  EXPECT_EQ(readError("object f: TF\n  object x: TNoSuchClass\n  end\nend\n"),
            "test.def:2: unknown class TNoSuchClass");
  EXPECT_EQ(readError("object f: TF\n  object lbl: TLabel\n    Colour = clRed\n  end\nend\n"),
            "test.def:3: TLabel lbl: unknown property Colour");
  EXPECT_EQ(readError("object f: TF\n  object lbl: TLabel\n    OnChange = Known\n  end\nend\n"),
            "test.def:3: TLabel lbl: unknown event OnChange");
  EXPECT_EQ(readError("object f: TF\n  object lbl: TLabel\n    OnClick = Missing\n  end\nend\n"),
            "test.def:3: lbl.OnClick: unknown handler Missing");
  EXPECT_EQ(
      readError("object f: TF\n  object lbl: TLabel\n    OnClick = CloseHandler\n  end\nend\n"),
      "test.def:3: TLabel lbl: the handler bound to OnClick has the wrong signature");
  EXPECT_EQ(readError("object f: TF\n  object a: TLabel\n  end\n  object A: TEdit\n  end\nend\n"),
            "test.def:4: duplicate name A");
  EXPECT_EQ(readError("inherited f: TF\n  inherited nothere: TLabel\n  end\nend\n",
                      "object f: TF\nend\n"),
            "test.def:2: inherited component nothere does not exist");
  EXPECT_EQ(readError("inherited f: TF\n  inherited a: TEdit\n  end\nend\n",
                      "object f: TF\n  object a: TLabel\n  end\nend\n"),
            "test.def:2: inherited component a is a TLabel, not a TEdit");
  EXPECT_EQ(readError("inherited f: TF\nend\n"),
            "test.def:1: the first definition of f must start with 'object'");
  EXPECT_EQ(readError("object f: TF\n  object lbl: TLabel\n    Left = 'x'\n  end\nend\n"),
            "test.def:3: lbl: property Left: an integer is expected");
  EXPECT_EQ(readError("object f: TF\n  object lbl: TLabel\n    Associate = x\n  end\nend\n"),
            "test.def:3: TLabel lbl: unknown property Associate");
  // A control nested in a non-container.
  EXPECT_EQ(
      readError("object f: TF\n  object lbl: TLabel\n    object e: TEdit\n    end\n  end\nend\n"),
      "test.def:3: TLabel lbl cannot contain TEdit e");
  // A reference resolved after loading.
  EXPECT_EQ(readError("object f: TF\n  object b: TSearchButtonBase\n    Associate = nothere\n"
                      "  end\nend\n"),
            "b: Associate nothere is not a control");
}

TEST_F(DefinitionReaderTest, SyntaxErrorsGiveTheLine) {
  EXPECT_EQ(readError("object f: TF\n  Caption = 'open\nend\n"), "test.def:2: unterminated string");
  EXPECT_EQ(readError("object f: TF\n  Left 12\nend\n"), "test.def:2: '=' expected, found '12'");
  EXPECT_EQ(readError("object f: TF\n  Caption = 'a' +\nend\n"),
            "test.def:3: a string after '+' expected, found 'end'");
  EXPECT_EQ(readError("object f: TF\n  object e: TEdit\n  end\n"),
            "test.def:4: a property, a nested object or 'end' expected, found the end of the text");
  EXPECT_EQ(readError("object f: TF\n  Glyph.Data = {0A0\n  }\nend\n"),
            "test.def:3: binary value with an odd number of hex digits");
  EXPECT_EQ(readError("object f: TF\n  Caption = 'a' # note\nend\n"),
            "test.def:2: unexpected character '#'");
  EXPECT_EQ(readError("object f: TF\n  object e: TEdit\n  end\n  Caption = 'late'\nend\n"),
            "test.def:4: property Caption after a nested object");
  EXPECT_EQ(readError("object f: TF\nend\nend\n"), "test.def:3: text after the final end");
}

TEST_F(DefinitionReaderTest, NestingIsBoundedSoThatNoTextExhaustsTheStack) {
  // The root object is the first level: lists inside one of its properties take the rest.
  auto lists = [](int depth) {
    return "object f: TF\n  Tag = " + std::string(depth, '(') + std::string(depth, ')') + "\nend\n";
  };
  EXPECT_NO_THROW(ParseDefinition(lists(63), "test.def"));
  EXPECT_EQ(readError(lists(64)), "test.def:2: nested deeper than 64 levels");
  EXPECT_EQ(readError("object f: TF\n  Tag = " + std::string(100'000, '(')),
            "test.def:2: nested deeper than 64 levels");
  std::string objects;
  for (int i = 1; i <= 100; ++i) objects += "object o" + std::to_string(i) + ": TPanel\n";
  EXPECT_EQ(readError(objects), "test.def:65: nested deeper than 64 levels");
}

TEST_F(DefinitionReaderTest, ValuesOfEveryKindAreParsed) {
  const DefObject root = ParseDefinition(R"(object q: TQ
  Size = -11
  SQL.Strings = (
    'SELECT A'
    '  FROM T')
  Params = (
    ('P_A' ftString ptUnknown)
    ('P_B' ftDateTime ptUnknown))
  Constraints = ()
  DataBase = dtmDBGeral.dtbGeral
  Options = [a, b]
  Empty = ''
end)",
                                         "q.def");
  ASSERT_EQ(root.properties.size(), 7u);
  EXPECT_EQ(root.properties[0].value.integer, -11);
  EXPECT_EQ(root.properties[1].value.asStrings("SQL.Strings"),
            (std::vector<std::string>{"SELECT A", "  FROM T"}));
  const PropValue& params = root.properties[2].value;
  ASSERT_EQ(params.items.size(), 2u);
  EXPECT_EQ(params.items[1].items[0].text, "P_B");
  EXPECT_EQ(params.items[1].items[1].asIdentifier("Params"), "ftDateTime");
  EXPECT_EQ(root.properties[2].line, 6);
  EXPECT_TRUE(root.properties[3].value.items.empty());
  EXPECT_EQ(root.properties[4].value.asIdentifier("DataBase"), "dtmDBGeral.dtbGeral");
  EXPECT_EQ(root.properties[5].value.items.size(), 2u);
  EXPECT_EQ(root.properties[6].value.asString("Empty"), "");
}

TEST_F(DefinitionReaderTest, MemberBindingChecksNameAndClass) {
  struct BindProbe : TForm {
    using TForm::TForm;
    std::vector<FormDefinition> Definitions() const override {
      return {{"b.def", "object f: TF\n  object lbl: TLabel\n  end\nend\n"}};
    }
    std::string wanted;
    void BindComponents() override {
      TEdit* edit = nullptr;
      bind(wanted, edit);
    }
  };
  auto message = [&](const std::string& name) {
    auto* form = app.Create<BindProbe>();
    form->wanted = name;
    std::string m = "no error";
    try {
      form->CreateFromDefinitions(app.Classes());
    } catch (const EDefinitionError& e) {
      m = e.message();
    }
    app.FreeOwned(form);
    return m;
  };
  EXPECT_EQ(message("edtMissing"), "TForm: no component edtMissing");
  EXPECT_EQ(message("lbl"), "TForm: component lbl is a TLabel, not of the expected class");
}

// The screen definitions of the product are read by this parser; a syntax the parser does not
// know would stop every screen from opening.
TEST_F(DefinitionReaderTest, ProductDefinitionsParse) {
  const std::string root = VND_SOURCE_DIR;
  for (const char* path : {"/src/shared/definitions/TfrmRotiGeral.def",
                           "/src/vnd42406/screen_definition/TfrmCadAutPromocao.def"}) {
    std::ifstream in(root + path);
    ASSERT_TRUE(in) << "cannot read " << root + path;
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NO_THROW(ParseDefinition(text.str(), path)) << path;
  }
}

}  // namespace
