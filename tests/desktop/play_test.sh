#!/usr/bin/env bash
# pdv --play end to end, offscreen, on a clone of the template database:
# the docs' log-in script, an expect not met (exit 1, its line named), an
# unknown action (exit 2, its line named), three wrong passwords (exit 1,
# three attempts logged), a ping to a service that does not answer, the
# pending notes' browse with the service down, a browse search and choice, a
# user the start-up refuses (the log-in window stays), the XML export window
# and a ping against a simulator process, and a pending note resolved from
# its browse; the docs' consumer registration and customer credit scripts, the
# cashier refused both; the docs' scale
# script (a typed weight on a scale of model 4) and a cancelled reading; the
# docs' sale scripts against the simulator, each recorded sale compared with
# the same sale typed through `fvn sell`.
# Usage: play_test.sh PDV SOURCE_DIR SIMULATOR FVN
set -uo pipefail
pdv=$1
source_dir=$2
simulator=$3
fvn=${4:-}
export QT_QPA_PLATFORM=offscreen

if [ -z "${FVN_TEST_DB:-}" ]; then
  if [ -n "${CI:-}" ] && [ "${CI}" != false ]; then
    echo "play_test: FVN_TEST_DB is not set and CI must provide the database" >&2
    exit 1
  fi
  echo "play_test: skipped: FVN_TEST_DB is not set"
  exit 77
fi
template=$(sed -E 's/.*dbname=([^ ]+).*/\1/' <<<"$FVN_TEST_DB")
admin=$(sed -E 's/dbname=[^ ]+/dbname=postgres/' <<<"$FVN_TEST_DB")
clone="fvn_play_$$"
work=$(mktemp -d "${FVN_TEST_TMP:-/tmp}/play.XXXXXX")
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  psql -q "$admin" -c "drop database if exists $clone with (force)" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
psql -q "$admin" -c "create database $clone template $template" >/dev/null || exit 1

mkdir -p "$work/work" "$work/docs/screens"
ln -s "$source_dir"/db/tables/* "$work/work/"
cat >"$work/fvn.ini" <<INI
[module]
working_folder=$work/work
[database]
connection=$(sed -E "s/dbname=[^ ]+/dbname=$clone/" <<<"$FVN_TEST_DB")
[station]
company=1
user=1
[service]
url=http://127.0.0.1:9
connect_timeout_ms=500
INI
export FVN_CONFIG="$work/fvn.ini"
cd "$work" || exit 1

failures=0
check() {  # check NAME EXPECTED_STATUS STATUS [STDERR_PATTERN]
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: exit $3, expected $2" >&2
    cat "$work/err" >&2
    failures=$((failures + 1))
  elif [ -n "${4:-}" ] && ! grep -q -- "$4" "$work/err"; then
    echo "FAIL $1: standard error lacks \"$4\":" >&2
    cat "$work/err" >&2
    failures=$((failures + 1))
  else
    echo "ok $1"
  fi
}
sql() {  # sql STATEMENT: its result, unaligned, on the clone
  psql -qtA "$(sed -E "s/dbname=[^ ]+/dbname=$clone/" <<<"$FVN_TEST_DB")" -c "$1"
}
play() {  # play SCRIPT_TEXT: status of pdv --play on it
  printf '%s\n' "$1" >"$work/script.keys"
  "$pdv" --play "$work/script.keys" 2>"$work/err"
}

"$pdv" --play "$source_dir/docs/screens/login.keys" 2>"$work/err"
check login.keys 0 $?
"$pdv" --play "$source_dir/docs/screens/browses.keys" 2>"$work/err"
check browses.keys 0 $?
"$pdv" --play "$source_dir/docs/screens/consumer.keys" 2>"$work/err"
check consumer.keys 0 $?
[ "$(sql "select cnomecliente from aclientes where s_acl_cpf = '39053344705'")" = "ANA PAULA ROCHA" ] ||
  { echo "FAIL consumer.keys: the consumer was not registered" >&2; failures=$((failures + 1)); }
"$pdv" --play "$source_dir/docs/screens/credit.keys" 2>"$work/err"
check credit.keys 0 $?
for shot in login pending-question main pending-notes browses browse-customers consumer credit-release credit-granted; do
  [ -s "docs/screens/$shot.png" ] || { echo "FAIL docs scripts: no $shot.png" >&2; failures=$((failures + 1)); }
done

play $'expect Acesso ao sistema\n\n# nothing shows this\nexpect Nada disso'
check expect-not-met 1 $? "script.keys:4: expect"

play $'key F5\nclick Ok'
check unknown-action 2 $? "script.keys:2: unknown action"

play $'text caixa\nkey Tab\ntext a\nkey Return\nexpect Tentativa 1 de 3\nkey Return
text b\nkey Return\nexpect Tentativa 2 de 3\nkey Escape
text c\nkey Return\nexpect tentativas excedido\nkey Return\nwait 500'
check three-failures 1 $?
attempts=$(psql -qtA "$(sed -E "s/dbname=[^ ]+/dbname=$clone/" <<<"$FVN_TEST_DB")" \
  -c "select count(*) from tusuario_tentativas where s_tut_login = 'caixa'")
[ "$attempts" = 3 ] || { echo "FAIL three-failures: $attempts attempts logged" >&2; failures=$((failures + 1)); }

# After log-in the demo shop's unresolved notes are offered for resolution;
# "&Não" (Escape) leaves them.
pending_question=$'expect Deseja resolvê-las agora?\nkey Escape'
play $'text supervisor\nkey Tab\ntext super123\nkey Return\nexpect Usuário: SUPERVISOR\n'"$pending_question"$'
key F5\nexpect Erro ao efetuar conexão com servidor de notas fiscais.\nkey Return
expect não respondeu\nkey Escape'
check ping-down 0 $?

# The pending notes' browse with the service down: the ping fails, nothing is resolved.
play $'text caixa\nkey Tab\ntext caixa123\nkey Return\n'"$pending_question"$'
key F4\nexpect Notas Fiscais Pendentes\nexpect 31260511222333000181650010000000021000000033
key F2\nexpect Erro ao efetuar conexão com servidor de notas fiscais.\nkey Return
expect 31260511222333000181650010000000021000000033\nkey F12\nkey Escape'
check contingency-ping-down 0 $?
[ "$(sql "select coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = 3")" = - ] ||
  { echo "FAIL contingency-ping-down: sale 3 was settled" >&2; failures=$((failures + 1)); }

# A browse: the support menu, the customers, a search and the choice.
play $'text caixa\nkey Tab\ntext caixa123\nkey Return\n'"$pending_question"$'
key F7\nexpect Consultas\ntext cli\nkey Return\nexpect Consulta Clientes\ntext dourado
expect PADARIA PAO DOURADO\nkey Return\nexpect Clientes: 3\nkey Escape'
check browse-customers 0 $?

# The cashier may not register a consumer, nor release a customer on the
# bureau's list; leaving the supervisor dialog releases nothing.
play $'text caixa\nkey Tab\ntext caixa123\nkey Return\n'"$pending_question"$'
key F8\nexpect Usuário não possui permissão para cadastrar clientes.\nkey Return\nexpect Nenhum consumidor cadastrado.
key F9\nexpect Consulta Clientes\ntext maria\nexpect MARIA\nkey Return
expect Usuário sem permissão para liberação de cliente enviado no SPC.\nkey Return
expect Cliente registrado no SPC\nkey Escape\nexpect Cliente 4: Cliente Bloqueado não liberado.\nkey Escape'
check cashier-refused 0 $?

# A user without a parameter row: the start-up says so and the log-in stays.
psql -q "$(sed -E "s/dbname=[^ ]+/dbname=$clone/" <<<"$FVN_TEST_DB")" -c "delete from parametros where cusuariocod = 3"
play $'text supervisor\nkey Tab\ntext super123\nkey Return\nexpect Parâmetros do usuário 3 não cadastrados.
key Return\nexpect Acesso ao sistema\nkey Escape'
check start-up-refused 0 $?

cat "$source_dir/docs/screens/scale.ini" >>"$work/fvn.ini"
"$pdv" --play "$source_dir/docs/screens/scale.keys" 2>"$work/err"
check scale.keys 0 $?
[ -s docs/screens/scale.png ] || { echo "FAIL scale.keys: no scale.png" >&2; failures=$((failures + 1)); }
play $'text caixa\nkey Tab\ntext caixa123\nkey Return\nexpect Frente de caixa NFC-e\n'"$pending_question"$'
key Ctrl+B\nexpect Digite o Peso:\nkey Escape\nexpect Leitura cancelada pelo usuário\nkey Return\nkey Escape'
check scale-cancelled 0 $?

mkdir -p "$work/sim"
"$simulator" --port 0 --port-file "$work/sim/port" --data "$work/sim" --max-age 999999999 --max-future 999999999 \
  >"$work/sim/log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 100); do [ -s "$work/sim/port" ] && break; sleep 0.05; done
sed -i "s|^url=.*|url=http://127.0.0.1:$(cat "$work/sim/port")|" "$work/fvn.ini"
play $'text caixa\nkey Tab\ntext caixa123\nkey Return\nexpect Usuário: CAIXA 01\n'"$pending_question"$'
key F6\nexpect Exportação de Arquivos XML\ntext 052026\nkey F3\nexpect AGUARDE - arquivo em processamento
key F12\nkey F5\nexpect Servidor de notas fiscais respondeu.\nkey Escape'
check export-and-ping 0 $?

# The sales of the docs, played by keys: each recorded and authorised, its
# rows equal to those of the same sale typed through `fvn sell`. The series
# previews its receipt (Escape closes the preview).
sql "update tseriesnf set s_tse_1report_manager = '1' where cserserie = 1" >/dev/null
sale_rows() {  # sale_rows SALE: what the sale recorded, without ids, dates or numbers
  sql "select cclisaidas, ctotsaidas, caviaprsaidas, cfpgsaidas, coalesce(s_asa_protocolo_nfe, '') <> '' from asaidas
       where cidesaidas = $1"
  sql "select cprohistorico, csaihisotorico, cvbrhistorico, cvdeshistorico, cvtothistorico, cvichistorico from ahistorico where cisahistorico = $1 order by 1, 2"
  sql "select ccodigofavorecidohistorico, cvalorcreditohistorico, cvalordebitohistorico, split_part(cdescricaohistorico, ':', 1)
       from ahcontas where cidesaivenhist = $1 order by 1, 2, 3"
  sql "select cnprdupli, cvprdupli from asduplicatas where cisadupli = $1 order by 1"
}
same_as_sell() {  # same_as_sell NAME SCRIPT_JSON: the last sale equals the same sale through fvn sell
  local played sold
  played=$(sql "select max(cidesaidas) from asaidas")
  [ -n "$fvn" ] || return 0
  printf '%s\n' "$2" >"$work/sale.json"
  if ! "$fvn" sell "$work/sale.json" >"$work/sell.out" 2>&1; then
    echo "FAIL $1: fvn sell failed:" >&2; cat "$work/sell.out" >&2; failures=$((failures + 1)); return
  fi
  sold=$(sql "select max(cidesaidas) from asaidas")
  if [ "$(sale_rows "$played")" != "$(sale_rows "$sold")" ] || [ "$played" = "$sold" ]; then
    echo "FAIL $1: the sale played ($played) and the one sold ($sold) differ:" >&2
    diff <(sale_rows "$played") <(sale_rows "$sold") >&2; failures=$((failures + 1))
  else
    echo "ok $1 = fvn sell"
  fi
}
"$pdv" --play "$source_dir/docs/screens/sale-cash.keys" 2>"$work/err"
check sale-cash.keys 0 $?
[ "$(sql "select ctotsaidas from asaidas where cidesaidas = (select max(cidesaidas) from asaidas)")" = 59.7000 ] ||
  { echo "FAIL sale-cash.keys: the sale was not recorded" >&2; failures=$((failures + 1)); }
same_as_sell sale-cash '{"tela": [{"acao": "quantidade", "valor": 2}, {"acao": "produto", "codigo": "42"},
  {"acao": "produto", "codigo": "7891000000021"}, {"acao": "pagamento_rapido"}], "roteiro": {"valor_entregue": 100}}'
# A customer by F8, a discount above the cashier's 5 % refused, released to
# 20 % by the manager (Ctrl+F2), 10 % given, paid in cash and by debit card.
"$pdv" --play "$source_dir/docs/screens/sale-discount.keys" 2>"$work/err"
check sale-discount.keys 0 $?
last="(select max(cidesaidas) from asaidas)"
[ "$(sql "select cclisaidas || ' ' || cdessaidas || ' ' || ctotsaidas from asaidas where cidesaidas = $last")" = \
  "2 5.4800 49.3200" ] || { echo "FAIL sale-discount.keys: wrong sale" >&2; failures=$((failures + 1)); }
[ "$(sql "select string_agg(ccodigofavorecidohistorico || ':' || cvalorcreditohistorico, ' ' order by 1)
          from ahcontas where cidesaivenhist = $last")" = "1:20.0000 4:29.3200" ] ||
  { echo "FAIL sale-discount.keys: not paid with two forms" >&2; failures=$((failures + 1)); }
[ "$(sql "select s_ali_motivo from aliberacao where i_ali_ide_asaidas = $last and i_ali_tipo = 1")" = \
  "Desconto Nota Fiscal: Percentual de desconto liberado: 20,00" ] ||
  { echo "FAIL sale-discount.keys: the release was not recorded" >&2; failures=$((failures + 1)); }
# The options menu: the rice cancelled with the supervisor's release, a
# commission of 2,50 % recorded with the sale.
"$pdv" --play "$source_dir/docs/screens/sale-options.keys" 2>"$work/err"
check sale-options.keys 0 $?
[ "$(sql "select ctotsaidas || ' ' || (select string_agg(i_asc_ordem || '=' || n_asc_percentual, ' ')
          from asaidas_comissao where i_asc_ide_asaidas = $last) from asaidas where cidesaidas = $last")" = \
  "16.9000 1=2.50" ] || { echo "FAIL sale-options.keys: wrong sale or commission" >&2; failures=$((failures + 1)); }
[ "$(sql "select i_ali_usuario || ' ' || s_ali_motivo from aliberacao where i_ali_ide_asaidas = $last and i_ali_tipo = 2")" = \
  "3 Cancelamento: Item 2" ] || { echo "FAIL sale-options.keys: the release was not recorded" >&2; failures=$((failures + 1)); }
for shot in sale-items sale-change sale-discount sale-two-forms sale-options sale-item-cancelled sale-commissions; do
  [ -s "docs/screens/$shot.png" ] || { echo "FAIL sale scripts: no $shot.png" >&2; failures=$((failures + 1)); }
done

# A card in 3 installments pays the whole sale: one entry to the card's payee.
"$pdv" --play "$source_dir/docs/screens/sale-card-installments.keys" 2>"$work/err"
check sale-card-installments.keys 0 $?
[ "$(sql "select ctotsaidas || ' ' || (s_asa_protocolo_nfe <> '') || ' ' || (select string_agg(ccodigofavorecidohistorico ||
          ':' || cvalorcreditohistorico, ' ') from ahcontas where cidesaivenhist = cidesaidas) from asaidas where cidesaidas = $last")" = \
  "42.8000 true 3:42.8000" ] || { echo "FAIL sale-card-installments.keys: wrong sale" >&2; failures=$((failures + 1)); }
[ -s docs/screens/sale-card-installments.png ] || { echo "FAIL sale-card-installments.keys: no picture" >&2; failures=$((failures + 1)); }

# A credit sale with 10,00 down and its second installment changed to 15,00.
"$pdv" --play "$source_dir/docs/screens/sale-credit.keys" 2>"$work/err"
check sale-credit.keys 0 $?
[ "$(sql "select cclisaidas || ' ' || ctotsaidas || ' ' || cfpgsaidas || ' ' || (s_asa_protocolo_nfe <> '') || ' ' ||
          (select string_agg(ccodigofavorecidohistorico || ':' || cvalorcreditohistorico, ' ') from ahcontas
           where cidesaivenhist = cidesaidas) || ' ' || (select string_agg(cnprdupli || ':' || cvprdupli, ' ' order by
           cnprdupli) from asduplicatas where cisadupli = cidesaidas) from asaidas where cidesaidas = $last")" = \
  "2 47.5100 3 true 1:10.0000 1:10.0100 2:15.0000 3:12.5000" ] ||
  { echo "FAIL sale-credit.keys: wrong sale" >&2; failures=$((failures + 1)); }
[ -s docs/screens/sale-credit.png ] || { echo "FAIL sale-credit.keys: no picture" >&2; failures=$((failures + 1)); }

# The consumer's CPF, typed at the start of the sale, is the note's.
"$pdv" --play "$source_dir/docs/screens/sale-cpf.keys" 2>"$work/err"
check sale-cpf.keys 0 $?
[ "$(sql "select cclisaidas || ' ' || ctotsaidas || ' ' || cpf_saidas || ' ' || nome_saidas || ' ' || (s_asa_protocolo_nfe <> '')
          from asaidas where cidesaidas = $last")" = "1 16.9000 39053344705 ANA PAULA ROCHA true" ] ||
  { echo "FAIL sale-cpf.keys: the sale lacks the CPF" >&2; failures=$((failures + 1)); }
[ -s docs/screens/sale-cpf.png ] || { echo "FAIL sale-cpf.keys: no picture" >&2; failures=$((failures + 1)); }

# A scale label (labels are on in the demo shop): 12,00 of bananas at 5,99.
"$pdv" --play "$source_dir/docs/screens/sale-scale-label.keys" 2>"$work/err"
check sale-scale-label.keys 0 $?
[ "$(sql "select string_agg(cprohistorico || ' ' || csaihisotorico || ' ' || cvbrhistorico || ' ' || cvtothistorico, ';')
          from ahistorico where cisahistorico = $last")" = "47 2.0030 5.9900 12.0000" ] ||
  { echo "FAIL sale-scale-label.keys: wrong item" >&2; failures=$((failures + 1)); }
[ -s docs/screens/sale-scale-label.png ] || { echo "FAIL sale-scale-label.keys: no picture" >&2; failures=$((failures + 1)); }

# A kit sells its three components, the beans with the kit's discount.
"$pdv" --play "$source_dir/docs/screens/sale-kit.keys" 2>"$work/err"
check sale-kit.keys 0 $?
[ "$(sql "select string_agg(cprohistorico || ' ' || csaihisotorico || ' ' || cvdeshistorico, ';' order by cprohistorico)
          || ' ' || (select ctotsaidas from asaidas where cidesaidas = $last) from ahistorico where cisahistorico = $last")" = \
  "42 1.0000 0.0000;43 1.0000 0.0000;44 2.0000 0.5000 59.2800" ] ||
  { echo "FAIL sale-kit.keys: wrong items" >&2; failures=$((failures + 1)); }
[ -s docs/screens/sale-kit.png ] || { echo "FAIL sale-kit.keys: no picture" >&2; failures=$((failures + 1)); }

# Order 1002 imported (F4, F10) and paid: its customer, its 6,96 down and its
# three installments of 10,00; the order is marked invoiced by the sale.
"$pdv" --play "$source_dir/docs/screens/sale-order.keys" 2>"$work/err"
check sale-order.keys 0 $?
[ "$(sql "select cclisaidas || ' ' || ctotsaidas || ' ' || cfpgsaidas || ' ' || (s_asa_protocolo_nfe <> '') || ' ' ||
          (select string_agg(ccodigofavorecidohistorico || ':' || cvalorcreditohistorico, ' ') from ahcontas
           where cidesaivenhist = cidesaidas) || ' ' || (select string_agg(cnprdupli || ':' || cvprdupli, ' ' order by
           cnprdupli) from asduplicatas where cisadupli = cidesaidas) || ' ' || (select i_pdi_ide_asaidas = cidesaidas
           from pedidos where i_pdi_codigo = 1002) from asaidas where cidesaidas = $last")" = \
  "2 36.9600 3 true 1:6.9600 1:10.0000 2:10.0000 3:10.0000 true" ] ||
  { echo "FAIL sale-order.keys: wrong sale or order not invoiced" >&2; failures=$((failures + 1)); }
[ -s docs/screens/sale-order.png ] || { echo "FAIL sale-order.keys: no picture" >&2; failures=$((failures + 1)); }

# A pending note resolved from the browse: the simulator does not know the
# demo's contingency note (sale 3), so the resolution reverses it and says so.
sql "update asaidas set i_asa_quorvex_canc = 0 where cidesaidas = 4" >/dev/null
play $'text caixa\nkey Tab\ntext caixa123\nkey Return\n'"$pending_question"$'
key F4\nexpect Notas Fiscais Pendentes\nkey F2\nexpect com erro de autorização no servidor\nkey Return
expect Notas Fiscais Pendentes\nkey F12\nkey F3\nexpect Nenhuma nota pendente.\nkey Escape'
check contingency-resolved 0 $?
[ "$(sql "select coalesce(s_asa_estorno, '-') from asaidas where cidesaidas = 3")" = R ] ||
  { echo "FAIL contingency-resolved: sale 3 was not reversed" >&2; failures=$((failures + 1)); }

# The rejected note reloaded (F4, F6) and issued again under its number:
# sale 3, reversed just above, so neither the log-in's question on pending
# notes nor the resolution's error, which the script dismisses on the demo,
# shows.
sed -e '/^expect Deseja resolvê-las agora?$/,+1d' -e '/^expect Erro ao resolver NFCe offline.$/,+1d' "$source_dir/docs/screens/sale-reload.keys" >"$work/reload.keys"
"$pdv" --play "$work/reload.keys" 2>"$work/err"
check sale-reload.keys 0 $?
[ "$(sql "select string_agg(cidesaidas || ':' || cnotsaidas || ':' || coalesce(s_asa_estorno, '-') || ':' ||
          (coalesce(s_asa_protocolo_nfe, '') <> ''), ' ' order by cidesaidas) from asaidas
          where cidesaidas in (3, $last)")" = "3:2:R:false $(sql "select max(cidesaidas) from asaidas"):2:-:true" ] ||
  { echo "FAIL sale-reload.keys: the note was not issued again under number 2" >&2; failures=$((failures + 1)); }
[ -s docs/screens/sale-reload.png ] || { echo "FAIL sale-reload.keys: no picture" >&2; failures=$((failures + 1)); }

exit $((failures > 0))
