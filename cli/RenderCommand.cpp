// lintorra-cli render: a drawing or figure as a PNG picture, an SVG drawing
// or a PDF page, as it is or as a conversion with the given settings would
// leave it (converted in memory; nothing but the picture is written).
#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/SettingsInput.h"
#include "cli/WorkFolder.h"
#include "conversion/BatchRun.h"
#include "conversion/Conversion.h"
#include "display/DrawingRenderer.h"
#include "documents/ByteStream.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "export/DrawingExport.h"
#include "support/Func_2.h"

namespace {

constexpr int kExitFailed = 1;  // the drawing did not load or the picture could not be written

struct RenderOptions {
  int width = 2000;
  std::optional<std::string> colors;
  std::optional<std::string> settings;
  std::optional<std::string> mode;
  bool temporaryPoints = false, auxiliaryLines = false;
  std::string input, output;
};

int Fail(const std::string& Text) {
  std::cerr << "lintorra-cli: " << Text << "\n";
  return kExitFailed;
}

// Qt's notes about its environment (a missing runtime folder and the like)
// are no concern of a command's user; its errors still are.
void QuietQtNotes(QtMsgType Type, const QMessageLogContext&, const QString& Text) {
  if (Type == QtCriticalMsg || Type == QtFatalMsg) std::cerr << Text.toStdString() << "\n";
}

// Fonts and painting need a GUI application; rendering needs no display.
// Without a runtime folder of the session Qt would make one in the temporary
// folder and leave it there: the private working folder serves instead.
std::unique_ptr<QGuiApplication> StartGui(const TempWorkFolder& Work) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && Work.ok())
    qputenv("XDG_RUNTIME_DIR", QString::fromStdU16String(Work.path()).chopped(1).toLocal8Bit());
  qInstallMessageHandler(QuietQtNotes);
  static int Argc = 1;
  static char Name[] = "lintorra-cli";
  static char* Argv[] = {Name, nullptr};
  return std::make_unique<QGuiApplication>(Argc, Argv);
}

TColorScheme SchemeOf(const std::optional<std::string>& Colors, TExportFormat Format) {
  if (!Colors) return Format == TExportFormat::Pdf ? TColorScheme::Print : TColorScheme::Screen;
  if (*Colors == "print") return TColorScheme::Print;
  if (*Colors == "black") return TColorScheme::Black;
  return TColorScheme::Screen;
}

QByteArray Picture(const TDrawingRenderer& R, TExportFormat Format, int Width, const QString& Title) {
  switch (Format) {
    case TExportFormat::Png: return PngBytes(R, Width);
    case TExportFormat::Svg: return SvgBytes(R, Width, Title);
    case TExportFormat::Pdf: return PdfBytes(R, Title);
  }
  return {};
}

template <class TDoc>
int RenderDocument(TDoc& Doc, const RenderOptions& O, const std::optional<TConvSettings>& Settings,
                   TExportFormat Format, const std::u16string& ImageFolder) {
  const std::u16string In = FromNativeName(O.input);
  if (!Doc.FileIn(In)) return Fail(O.input + ": could not be read whole");
  if (Settings && !ConvertInMemory(Doc, *Settings)) {
    std::cerr << TerminalText(kMsgNoCombination) << "\n";
    return kExitFailed;
  }
  TRenderOptions Look;
  Look.Colors = SchemeOf(O.colors, Format);
  // A page prints at the printer's widths; pictures follow the colours.
  Look.PrinterWidths = Format == TExportFormat::Pdf || Look.Colors != TColorScheme::Screen;
  Look.ShowTemporaryPoints = O.temporaryPoints;
  Look.ShowAuxiliaryLines = O.auxiliaryLines;
  Look.ImageFolder = ImageFolder;
  const TDrawingRenderer Renderer(Doc, Look);
  const QString Title = QString::fromStdU16String(FileNameOnly(In));
  const QByteArray Bytes = Picture(Renderer, Format, O.width, Title);
  if (Bytes.isEmpty()) return Fail(O.output + ": the picture could not be made");
  const bool Written = WriteFileReplacing(FromNativeName(O.output), [&](ByteSink& Sink) {
    return Sink.Put(reinterpret_cast<const std::uint8_t*>(Bytes.constData()), static_cast<std::size_t>(Bytes.size()));
  });
  return Written ? 0 : Fail(O.output + ": cannot be written");
}

int RunRender(const RenderOptions& O) {
  const std::optional<TExportFormat> Format = ExportFormatOf(FromNativeName(O.output));
  if (!Format) return Fail(O.output + ": the picture must end in .png, .svg or .pdf");
  std::optional<TConvSettings> Settings;
  if (O.settings) {
    Settings = ReadSettings(*O.settings, O.mode);
    if (!Settings) return kExitBadSettings;
  }
  const std::u16string In = FromNativeName(O.input);
  if (!IsFile(In)) return Fail(O.input + ": no such file");
  TempWorkFolder Work;
  const auto Gui = StartGui(Work);
  TJwwData JWW;
  if (JWW.FileCheck(In)) {
    JWW.BindImageFolder = Work.path();
    JWW.BindImageExp = JWW.BindImageExr = Work.ok();
    const int Code = RenderDocument(JWW, O, Settings, *Format, Work.path());
    JwwDataFree(JWW);
    return Code;
  }
  TJwsData JWS;
  if (JWS.FileCheck(In)) return RenderDocument(JWS, O, Settings, *Format, std::u16string());
  return Fail(O.input + ": not a JWW or JWS file of a supported version");
}

}  // namespace

void AddRenderCommand(CLI::App& App, int& ExitCode) {
  auto O = std::make_shared<RenderOptions>();
  CLI::App* Cmd = App.add_subcommand(
      "render",
      "Draw a JWW drawing or JWS figure into OUT (.png, .svg or .pdf), as it is or as a conversion with --settings "
      "would leave it; exits 1 when the file does not load or the picture cannot be written, 2 when the settings "
      "file cannot be used");
  Cmd->add_option("--width", O->width, "Width of a PNG or SVG picture in pixels (default 2000)")
      ->check(CLI::Range(1, kMaxPictureSide));
  Cmd->add_option("--colors", O->colors,
                  "Colours: the file's screen colours, its printer colours, or black on white (default: screen; "
                  "print for PDF)")
      ->check(CLI::IsMember({"screen", "print", "black"}));
  CLI::Option* Settings =
      Cmd->add_option("--settings", O->settings, "Settings file (*.set) or INI file (*.ini) to convert with first");
  Cmd->add_option("--mode", O->mode, "Conversion mode (default: the one the settings store)")
      ->check(CLI::IsMember({"individual", "combination"}))
      ->needs(Settings);
  Cmd->add_flag("--temporary-points", O->temporaryPoints, "Also draw temporary points");
  Cmd->add_flag("--auxiliary-lines", O->auxiliaryLines, "Also draw auxiliary lines (line type 9)");
  Cmd->add_option("IN", O->input, "The JWW or JWS file")->required();
  Cmd->add_option("OUT", O->output, "The picture to write: .png, .svg or .pdf")->required();
  Cmd->callback([O, &ExitCode] { ExitCode = RunRender(*O); });
}
