#pragma once
// The texts the server object answers with when it refuses a request, in Brazilian Portuguese,
// each defined once. Where the screen has a text of its own for the same situation, the
// server uses the same words.

#include <cstdint>
#include <string>
#include <string_view>

#include "server/storage/accounts.h"

namespace server::messages {

inline constexpr std::string_view kBranchNotFound = "Filial não cadastrada.";
inline constexpr std::string_view kTableNotFound = "Tabela de preço não cadastrada.";
inline constexpr std::string_view kValidityNotFound = "Vigência não cadastrada.";
inline constexpr std::string_view kPrefixRequired = "Prefixo deve ser informado.";
inline constexpr std::string_view kFirstRequired = "Produto inicial deve ser informado.";
inline constexpr std::string_view kLastRequired = "Produto final deve ser informado.";
inline constexpr std::string_view kFirstAfterLast =
    "Produto inicial deve ser menor ou igual que produto final.";
inline constexpr std::string_view kNoSelection =
    "Nenhum produto selecionado: informe todos, uma lista ou um intervalo de produtos.";
inline constexpr std::string_view kSeveralSelections =
    "Informe os produtos de uma única forma: todos, lista ou intervalo.";
inline constexpr std::string_view kBadList = "Lista de produtos inválida.";
inline constexpr std::string_view kBadAllFlag =
    "Indicador de todos inválido: deve ser \"T\" ou vazio.";
inline constexpr std::string_view kBadPromotionFlag =
    "Indicador de promoção inválido: deve ser \"S\" ou \"N\".";
inline constexpr std::string_view kListModeWithoutList =
    "Modo lista informado sem lista de produtos.";
inline constexpr std::string_view kListOutsideListMode =
    "Lista de produtos informada fora do modo lista.";
inline constexpr std::string_view kBadDateFormat = "Formato de data inválido.";
inline constexpr std::string_view kChangeBusy =
    "Outra alteração dos mesmos dados está em andamento e não terminou a tempo; nada foi "
    "alterado. Tente novamente em instantes.";

// Added to the refusal of a promotion update that was to complete a prefix change
// (prefix_link.h), when not every name went back to what it was.
inline constexpr std::string_view kPrefixKept =
    "Atenção: o prefixo já aplicado aos nomes dos produtos não pôde ser desfeito e permanece.";
inline std::string namesLeftAlone(int64_t count) {
  if (count == 1)
    return "Atenção: 1 nome de produto, alterado por outra operação depois do prefixo, ficou "
           "como está.";
  return "Atenção: " + std::to_string(count) +
         " nomes de produtos, alterados por outra operação depois do prefixo, ficaram como "
         "estão.";
}

inline std::string productNotFound(std::string_view code) {
  return "Produto \"" + std::string(code) + "\" não cadastrado.";
}
inline std::string productNotInValidity(std::string_view code) {
  return "Produto \"" + std::string(code) + "\" não pertence à vigência da tabela de preço.";
}
inline std::string nameTooLong(std::string_view code) {
  return "O nome do produto \"" + std::string(code) +
         "\" ficaria com mais de 50 caracteres com o prefixo.";
}
// What a right lets its holder do, as the refusal says it.
inline std::string_view rightWords(Right right) {
  switch (right) {
    case Right::Promotion:
      return "colocar ou retirar produtos de promoção";
    case Right::Prefix:
      return "alterar o prefixo dos nomes dos produtos";
    case Right::Journal:
      return "consultar o histórico de alterações";
    case Right::Restore:
      return "desfazer alterações";
    case Right::Accounts:
      return "administrar contas";
  }
  return "fazer esta operação";
}
inline std::string rightNotGranted(std::string_view account, Right right) {
  return "O usuário " + std::string(account) + " não tem permissão para " +
         std::string(rightWords(right)) + ".";
}
inline std::string branchNotGranted(std::string_view account, std::string_view branch) {
  return "O usuário " + std::string(account) + " não tem permissão na filial " +
         std::string(branch) + ".";
}
inline std::string invalidText(int position) {
  return "Texto inválido no argumento " + std::to_string(position) + ".";
}

}  // namespace server::messages
