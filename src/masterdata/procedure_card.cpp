#include "masterdata/procedure_card.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/field_rules.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "masterdata/machines.h"
#include "masterdata/procedures.h"
#include "masterdata/routines.h"
#include "platform/card_binding.h"
#include "platform/picture_codec.h"

#include <QFileInfo>
#include <memory>

namespace gim {

namespace {

const QString Code = QStringLiteral("Codigo");
const QString MachineName = QStringLiteral("LabelMaquina");
const QString Speciality = QStringLiteral("Espec");
const QString SpecialityText = QStringLiteral("LabelEspec");
const QString Procedure = QStringLiteral("Proced");
const QString Instruction = QStringLiteral("inst");
const QString MachineState = QStringLiteral("Estado");
const QString StateText = QStringLiteral("LabelEstado");
const QString Minutes = QStringLiteral("TIEMPO");
const QString Description = QStringLiteral("Descripcion");
const QString Picture = QStringLiteral("Image1");   // the path of the picture shown
const QString PhotoButton = QStringLiteral("FOTO"); // keeps the card open
const QString SaveButton = QStringLiteral("Salvar");
const QString DeleteButton = QStringLiteral("Borrar");

QString PictureSubFolder(const State& st)
{
    return QStringLiteral("\\PROCEDIM\\") + st.CurrentEnvironment + QStringLiteral("\\");
}

// The picture of the key typed on the card.
void NamePicture(Context& ctx, const CardState& state)
{
    Procedures(ctx).ProcedurePictureName = state.value(Code) + state.value(Speciality) +
                                           state.value(Procedure) + state.value(Instruction) +
                                           QStringLiteral(".jpg");
}

// The machine's name beside its code. While the code is being typed a machine file that is not there
// only names no machine; `report` runs the lookup itself, which says so.
void ShowMachineName(Context& ctx, CardState& state, bool report = true)
{
    const QString code = state.value(Code);
    if (code == QLatin1String("*")) {
        state.set(MachineName, QStringLiteral("Indistinta"));
        return;
    }
    if (!report && !DataFileExists(ctx, ctx.st.FileName(DataFile::Machine))) {
        state.set(MachineName, QString::fromLatin1(kMachineNotFound));
        return;
    }
    ShortString<8> wanted{};
    wanted = code;
    FindIntoFoundMachine(ctx, wanted);
    state.set(MachineName, ctx.st.FoundMachine.Denominacion.str());
}

void UpdateMeanings(CardState& state)
{
    const QString speciality = ProcedureSpecialityMeaning(state.value(Speciality));
    if (!speciality.isEmpty())
        state.set(SpecialityText, speciality);
    const QString machineState = ProcedureStateMeaning(state.value(MachineState));
    if (!machineState.isEmpty())
        state.set(StateText, machineState);
}

// The photo button: a picture chosen and shown, then stored under the name the user gives it in the
// environment's procedure folder.
void TakePhoto(Context& ctx, CardState& state)
{
    State& st = ctx.st;
    if (st.ActionCode != QLatin1String("A") && st.ActionCode != QLatin1String("E"))
        return;
    const QString subFolder = PictureSubFolder(st);
    const std::optional<QString> folder = MakeSubFolder(st.BaseDir, subFolder);
    const QString& name = Procedures(ctx).ProcedurePictureName;
    const std::optional<QString> chosen =
        ChoosePhotoSource(ctx, subFolder, name.isEmpty() ? QStringLiteral("*.jpg") : name);
    if (!chosen || PictureFormatOf(*chosen) == PictureFormat::None)
        return;
    state.set(Picture, *chosen);
    state.caption = QStringLiteral("Visualizar Imagen - (") + *chosen + QLatin1Char(')');
    if (const PictureCodec* codec = ctx.codec; codec && folder)
        ImportPictureFile(ctx, *codec, subFolder, name, *chosen);
}

} // namespace

const CardBinding<TProcedureRecord>& ProcedureCardBinding()
{
    using R = TProcedureRecord;
    static const CardBinding<R> binding{
        BindText(Code, &R::MachineCode),        BindText(Speciality, &R::Espec),
        BindText(Procedure, &R::Proced),        BindText(Instruction, &R::Inst),
        BindText(MachineState, &R::Estado),     BindMinutes(Minutes, &R::Tiempo),
        BindText(Description, &R::Descripcion),
    };
    return binding;
}

namespace {

// The specialities and machine states in the order the card offers them.
constexpr CodeLabel kSpecialities[] = {
    {"ME", "Mecánica"}, {"EB", "Baja Tensión"}, {"EA", "Alta Tensión"}, {"FR", "Frío"},
    {"CL", "Climas"},   {"LI", "Limpieza"},     {"OP", "Operación"},
};
constexpr CodeLabel kMachineStates[] = {{"P", "Paro"}, {"M", "Marcha"}};

} // namespace

QString ProcedureSpecialityMeaning(const QString& code)
{
    return CodeTable(kSpecialities).LabelOr(code);
}

QString ProcedureStateMeaning(const QString& code)
{
    return CodeTable(kMachineStates).LabelOr(code);
}

CardSpec ProcedureCardSpec(Context& ctx, ProcedureCardUse use)
{
    CardSpec spec;
    spec.name = QStringLiteral("TInstru");
    spec.caption = QStringLiteral("Procedimientos / Instrucciones");

    FieldSpec code = MakeField(Code, "CODIGO", FieldKind::Combo, 8);
    const bool filter = use == ProcedureCardUse::Filter;
    const bool editing = !filter && ctx.st.ActionCode == QLatin1String("E");
    // The register's codes are read once for a series of cards (an import opens one a line).
    code.choices = editing ? QStringList{QStringLiteral("*")} : MachineCodeChoices(ctx, QStringLiteral("*"));
    spec.fields = {code, MakeField(MachineName, "", FieldKind::Label)};
    // A code outside the lists leaves its meaning as it was.
    FieldSpec& speciality =
        AddCodeCombo(spec, Speciality, "ESPECIALIDAD", kSpecialities, SpecialityText, 0, std::nullopt);
    // A record takes the codes of the lists; the filter searches any speciality with "*" and reads no state.
    // An imported key keeps the speciality it brings, listed or not, as its label does.
    if (ctx.st.ActionCode != QLatin1String("i"))
        speciality.rule = CodeRule(
            filter ? speciality.choices + QStringList{QStringLiteral("*")} : speciality.choices, true);
    spec.fields.push_back(MakeField(Procedure, "PROCEDIMIENTO", FieldKind::Text, 2));
    spec.fields.push_back(MakeField(Instruction, "INSTRUCCION", FieldKind::Text, 2));
    FieldSpec& state = AddCodeCombo(spec, MachineState, "ESTADO", kMachineStates, StateText, 0, std::nullopt);
    if (!filter)
        state.rule = CodeRule(state.choices, true);
    spec.fields.push_back(MakeField(Minutes, "TIEMPO (min)", FieldKind::Text));
    spec.fields.push_back(MakeField(Description, "DESCRIPCION", FieldKind::Memo, 250));
    spec.fields.push_back(MakeField(Picture, "", FieldKind::Picture));
    // The key and state with their meanings beside them, the picture to their right, the description
    // across the card below.
    PlaceFields(spec, {GridCell(0), GridCell(0, 1), GridCell(1), GridCell(1, 1), GridCell(2), GridCell(3),
                       GridCell(4), GridCell(4, 1), GridCell(5), GridCell(6, 0, 1, 3), GridCell(0, 2, 6)});
    ProcedureCardBinding().Declare(spec);
    // The filter keeps no time.
    for (FieldSpec& f : spec.fields)
        if (filter && f.name == Minutes)
            f.rule = {};
    spec.buttons = {{PhotoButton, QStringLiteral("&Foto"), CardResult::None},
                    {SaveButton, QStringLiteral("Sal&var"), CardResult::Save},
                    {QStringLiteral("BitBtn1"), QStringLiteral("&Salir"), CardResult::Exit},
                    {DeleteButton, QStringLiteral("&Borrar"), CardResult::Delete}};
    spec.cancelResult = CardResult::Exit;

    spec.onShow = [&ctx, filter, editing](CardState& s) {
        const QString& output = ctx.st.OutputCode;
        if (filter) {
            s.captions[SaveButton] = QStringLiteral("&Buscar");
            s.enable(DeleteButton, false);
        } else if (output == QLatin1String("P") || output == QLatin1String("I")) {
            s.captions[SaveButton] = QStringLiteral("SAL&VAR");
            s.enable(DeleteButton, false);
            if (output == QLatin1String("P")) {
                s.set(Instruction, QLatin1String(kProcedureHeading));
                s.enable(Instruction, false);
            }
        }
        // The key cannot change.
        if (editing)
            for (const QString& field : {Code, Procedure, Instruction, Speciality})
                s.enable(field, false);
        UpdateMeanings(s);
        if (editing) {
            NamePicture(ctx, s);
            ShowProcedurePicture(ctx, s);
        }
    };
    spec.onEnter = [](CardState& s, const QString& field) {
        if (field == Code && s.value(Code) == QLatin1String("*"))
            s.set(MachineName, QStringLiteral("Indistinta"));
    };
    // The name follows each key; a lookup that cannot be made is reported once, when the code is left.
    auto typed = std::make_shared<bool>(false);
    spec.onChange = [&ctx, typed](CardState& s, const QString& field) {
        if (field == Code) {
            *typed = true;
            ShowMachineName(ctx, s, false);
        }
    };
    spec.onExit = [&ctx, typed](CardState& s, const QString& field) {
        if (field == Code && *typed) {
            *typed = false;
            if (!DataFileExists(ctx, ctx.st.FileName(DataFile::Machine)))
                ShowMachineName(ctx, s);
        }
        if (field == Instruction) {
            NamePicture(ctx, s);
            ShowProcedurePicture(ctx, s);
        }
    };
    spec.onButton = [&ctx](CardState& s, const ButtonSpec& button) {
        if (button.name != PhotoButton)
            return true;
        TakePhoto(ctx, s);
        return false;
    };
    return spec;
}

void ShowProcedurePicture(Context& ctx, CardState& state)
{
    const QString& name = Procedures(ctx).ProcedurePictureName;
    const QString folder = ResolveSubFolder(ctx.st.BaseDir, PictureSubFolder(ctx.st));
    const QString path = folder + QLatin1Char('/') + name;
    if (name.isEmpty() || !QFileInfo(path).isFile())
        return;
    state.set(Picture, path);
    state.caption = QStringLiteral("Visualizar Imagen - ") + folder + QLatin1Char('/') + name;
}

} // namespace gim
