#pragma once
// The texts the history object (history_object.h) refuses with, in Brazilian Portuguese, each
// defined once; those it shares with the price-table object are in refusal_texts.h.

#include <cstdint>
#include <string>
#include <string_view>

#include "server/object/refusal_texts.h"

namespace server::messages {

inline std::string namesNotGranted(std::string_view account) {
  return "Os nomes dos produtos valem para todas as filiais: o usuário " + std::string(account) +
         " só vê ou desfaz alterações de nomes com todas as filiais ou com permissão para "
         "alterar o prefixo.";
}
inline std::string badPageSize(int64_t most) {
  return "Quantidade de linhas por página inválida: informe de 1 a " + std::to_string(most) + ".";
}
inline constexpr std::string_view kBadOffset = "Posição inicial inválida: informe zero ou mais.";
inline constexpr std::string_view kBadBefore =
    "Alteração de referência inválida: informe zero (as mais recentes) ou mais.";
inline std::string badPeriodEnd(std::string_view which) {
  return "Data " + std::string(which) +
         " do período inválida: informe AAAA-MM-DD, AAAA-MM-DD HH:MM ou AAAA-MM-DD HH:MM:SS "
         "(UTC).";
}
inline constexpr std::string_view kBadMethod =
    "Método inválido: informe SetUpdItemPrecoAlt, SetAddPrefixo, SetDelPrefixo ou restore, ou "
    "deixe vazio.";
inline std::string changeNotFound(int64_t change) {
  return "Alteração " + std::to_string(change) + " não encontrada.";
}
inline constexpr std::string_view kStackedNotYet =
    "Desfazer também as alterações posteriores dos mesmos produtos ainda não é possível neste "
    "servidor; nada foi desfeito.";
inline std::string changeDiscarded(int64_t change, std::string_view when) {
  return "Os produtos da alteração " + std::to_string(change) +
         " foram descartados do histórico em " + std::string(when) +
         " (UTC); ela não pode mais ser desfeita.";
}
inline std::string changeWithoutValues(int64_t change) {
  return "A alteração " + std::to_string(change) +
         " não registrou os valores anteriores e não pode ser desfeita.";
}
inline constexpr std::string_view kRestoreBusy =
    "Outra alteração dos mesmos dados, ou uma limpeza do histórico, está em andamento e não "
    "terminou a tempo; nada foi desfeito. Tente novamente em instantes.";

}  // namespace server::messages
