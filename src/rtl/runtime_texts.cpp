#include "rtl/runtime_texts.h"

#include <iterator>
#include <utility>

namespace rtl {

namespace {

struct Entry {
  RuntimeText id;
  const char* text;
};

// In the order of the enumeration, which the compiler checks below.
constexpr Entry kTexts[] = {
    {RuntimeText::OperationAborted, "Operação cancelada"},
    {RuntimeText::InvalidDate, "'%s' não é uma data válida"},
    {RuntimeText::InvalidDateTime, "'%s' não é uma data e hora válida"},
    {RuntimeText::InvalidDateEncode, "Dia, mês ou ano fora do calendário"},
    {RuntimeText::VariantConvert,
     "Não foi possível converter um valor do tipo (%s) para o tipo (%s)"},
    {RuntimeText::PacketColumnTooLarge, "Coluna grande demais no pacote de dados"},
    {RuntimeText::PacketRowWidth, "Linha do pacote de dados com número errado de valores"},
    {RuntimeText::PacketColumnLengths, "Colunas do pacote de dados com tamanhos diferentes"},
    {RuntimeText::InvalidInputValue,
     "Valor inválido. Use a tecla Esc para abandonar as alterações"},
    {RuntimeText::CannotFocus, "Não é possível pôr o foco em uma janela desabilitada ou invisível"},
    {RuntimeText::NoApplication, "Não existe objeto de aplicação"},
    {RuntimeText::ApplicationExists, "Já existe um objeto de aplicação"},
    {RuntimeText::DayNamesCount, "NomeSemana precisa de 7 nomes de dia, %s recebido(s)"},
    {RuntimeText::DataSetClosed, "Operação impossível em um conjunto de dados fechado"},
    {RuntimeText::DataSetOpen, "Operação impossível em um conjunto de dados aberto"},
    {RuntimeText::DataSetEmpty, "Operação impossível em um conjunto de dados vazio"},
    {RuntimeText::DataSetNotEditing, "O conjunto de dados não está em edição nem em inclusão"},
    {RuntimeText::DataSetWithoutFields, "Não é possível criar um conjunto de dados sem campos"},
    {RuntimeText::DataSetComputing,
     "Não é possível %s enquanto os campos calculados são computados"},
    {RuntimeText::DataSetTooManyRows, "Linhas demais em um conjunto de dados"},
    {RuntimeText::DataSetNoPacket, "Falta o provedor de dados ou o pacote de dados"},
    {RuntimeText::RowOutOfRange, "A linha %s está fora do conjunto de dados (%s linhas)"},
    {RuntimeText::FieldNotFound, "Campo '%s' não encontrado"},
    {RuntimeText::FieldNameMissing, "Falta o nome do campo de %s"},
    {RuntimeText::FieldNameRepeated, "Nome de campo '%s' repetido"},
    {RuntimeText::FieldNotBound, "O campo '%s' não pertence ao conjunto de dados"},
    {RuntimeText::FieldCalculated,
     "O campo '%s' é calculado: só recebe valor enquanto OnCalcFields computa uma linha"},
    {RuntimeText::FieldComputing,
     "O campo '%s' não pode ser alterado enquanto os campos calculados são computados"},
    {RuntimeText::FieldReadOnly, "O campo '%s' não pode ser alterado"},
    {RuntimeText::FieldRequired, "O campo '%s' precisa ter um valor"},
    {RuntimeText::FieldNoDataSet, "O campo '%s' não tem conjunto de dados"},
    {RuntimeText::FieldAccess, "Não é possível ler o campo '%s' como %s"},
    {RuntimeText::FieldSize, "Tamanho %s inválido para o campo '%s'"},
    {RuntimeText::FieldDisplayWidth, "Largura de exibição inválida para o campo '%s'"},
    {RuntimeText::InvalidInteger, "'%s' não é um número inteiro válido"},
    {RuntimeText::IntegerOutOfRange,
     "%s não é um valor válido para o campo '%s'. Os valores vão de -2147483648 a 2147483647"},
    {RuntimeText::PacketFieldMissing, "Campo '%s' não encontrado no pacote de dados"},
    {RuntimeText::PacketFieldKind,
     "O campo '%s' guarda valores %s, mas a coluna do pacote de dados é do tipo %s"},
    {RuntimeText::PacketColumnRows,
     "A coluna '%s' do pacote de dados tem %s valores para %s linhas"},
    {RuntimeText::PacketValueTooLong,
     "O valor do campo '%s' na linha %s tem %s caracteres; o campo guarda no máximo %s"},
    {RuntimeText::PacketValueOutOfRange,
     "O valor %s do campo '%s' na linha %s não cabe em um inteiro de 32 bits"},
    {RuntimeText::ListWithoutDataSet, "PesquisaLista: a fonte de dados não tem conjunto de dados"},
    {RuntimeText::MarkedCount, "%s marcado(s)"},
    {RuntimeText::NoLocalDatabase,
     "%s: este cliente não lê banco de dados; suas linhas vêm do servidor de aplicação"},
    {RuntimeText::ConnectionLost,
     "A conexão com o servidor de aplicação foi perdida. Tente de novo; se o problema "
     "continuar, avise o suporte."},
    {RuntimeText::ConnectionLostDetail, "(Para o suporte: %s, %s.)"},
};

constexpr bool everyTextInItsPlace() {
  for (size_t i = 0; i < std::size(kTexts); ++i)
    if (static_cast<size_t>(kTexts[i].id) != i) return false;
  return std::size(kTexts) == static_cast<size_t>(RuntimeText::ConnectionLostDetail) + 1;
}
static_assert(everyTextInItsPlace(), "kTexts must list every RuntimeText in order");

// The socket library's and the system's texts for the failures a connection meets.
constexpr std::pair<const char*, const char*> kSystemTexts[] = {
    {"End of file", "o servidor encerrou a conexão"},
    {"Connection refused", "o servidor recusou a conexão"},
    {"Connection reset by peer", "a conexão foi interrompida pelo servidor"},
    {"Broken pipe", "a conexão foi interrompida"},
    {"Connection timed out", "o tempo de espera da conexão se esgotou"},
    {"Connection aborted", "a conexão foi abortada"},
    {"No route to host", "não há caminho na rede até o servidor"},
    {"Network is unreachable", "a rede está inacessível"},
    {"Network is down", "a rede está fora do ar"},
    {"Host is unreachable", "o servidor está inacessível"},
    {"Operation canceled", "a operação foi cancelada"},
    {"Host not found (authoritative)", "servidor não encontrado"},
    {"Host not found (non-authoritative), try again later",
     "servidor não encontrado; tente mais tarde"},
    {"Service not found", "serviço não encontrado"},
    {"Address already in use", "o endereço já está em uso"},
    {"Cannot assign requested address", "o endereço pedido não pode ser usado"},
};

}  // namespace

std::string RuntimeMessage(RuntimeText id, std::initializer_list<std::string_view> args) {
  const char* text = kTexts[static_cast<size_t>(id)].text;
  std::string out;
  const auto* arg = args.begin();
  for (const char* p = text; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (arg != args.end()) out += *arg++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string SystemErrorText(std::string_view text) {
  for (const auto& [english, translated] : kSystemTexts)
    if (text == english) return translated;
  return std::string(text);
}

}  // namespace rtl
