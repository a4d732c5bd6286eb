-- Stored functions of the shop database. Several stations call them at the
-- same time; each one says how it keeps them apart.
--
-- Invoice numbers and the reload of a rejected invoice
-- -----------------------------------------------------
-- inclui_sequencia(series) draws the next invoice number of a series inside
-- the recording transaction. It locks the series row (tseriesnf) until that
-- transaction ends, so two stations recording on the same series take turns
-- and a rolled-back sale gives its number back: there are no gaps and no
-- duplicates. Numbers registered in anosequencia by someone else (numbers the
-- authorisation service gave to duplicated notes) are skipped.
--
-- A rejected invoice that is reloaded keeps its number. The reload records
-- the new sale in one transaction: it first reverses the old sale with
-- estorna_transacao(old, reason, 'R') and then asks inclui_sequencia for a
-- number. The reversal hands the old sale's number over to the next
-- inclui_sequencia of the same series *in the same transaction* (a
-- transaction-local setting, fvn.numero_liberado_<series>), and
-- inclui_sequencia returns it instead of drawing a new one and marks the old
-- sale as replaced (i_asa_numero_reutilizado = 1; its contingency flag is
-- cleared so that it leaves the list of unresolved notes). Because the hand-over
-- lives only inside the transaction:
--   * no other station can take the number in between (the reload's
--     transaction holds it, and the old sale's row is locked);
--   * the 'R' reversal that follows a failed issue runs on its own
--     (autocommit) and hands nothing over, so the number stays with the
--     rejected sale until its reload;
--   * if the reload rolls back, the old sale is again unreplaced and may be
--     reloaded later.
-- A second reload of a sale already replaced is refused by
-- estorna_transacao, so one rejected invoice is never issued twice.

set client_min_messages = warning;

-- inclui_sequencia(series) -> the next invoice number of the series.
create or replace function inclui_sequencia(p_serie integer) returns integer
language plpgsql as $$
declare
  v_ultimo integer;
  v_numero integer;
  v_liberado text;
  v_partes text[];
begin
  -- The series row is the lock: held until the caller's transaction ends.
  select i_tse_ultimo_numero into v_ultimo from tseriesnf where cserserie = p_serie for update;
  if not found then
    raise exception 'inclui_sequencia: série % não cadastrada em tseriesnf', p_serie
      using errcode = 'no_data_found';
  end if;

  -- A number handed over by estorna_transacao(..., 'R') in this transaction.
  v_liberado := current_setting('fvn.numero_liberado_' || p_serie, true);
  if coalesce(v_liberado, '') <> '' then
    perform set_config('fvn.numero_liberado_' || p_serie, '', true);
    v_partes := string_to_array(v_liberado, ':');
    update asaidas set i_asa_numero_reutilizado = 1, i_asa_contigencia = 0
     where cidesaidas = v_partes[2]::integer;
    return v_partes[1]::integer;
  end if;

  v_numero := v_ultimo;
  loop
    v_numero := v_numero + 1;
    if v_numero > 999999999 then
      raise exception 'inclui_sequencia: numeração da série % esgotada', p_serie
        using errcode = 'sequence_generator_limit_exceeded';
    end if;
    exit when not exists (select 1 from anosequencia where i_ano_serie = p_serie and i_ano_numero = v_numero);
  end loop;
  update tseriesnf set i_tse_ultimo_numero = v_numero where cserserie = p_serie;
  insert into anosequencia (i_ano_serie, i_ano_numero, s_ano_origem) values (p_serie, v_numero, '0');
  return v_numero;
end;
$$;
comment on function inclui_sequencia(integer) is
  'Next invoice number of a series, or the number handed over by estorna_transacao(..., ''R'') earlier in the same transaction. Locks the series row until the transaction ends.';

-- inclui_sequencia_nsu(company) -> the company's next NSU. One atomic
-- update of the company row: concurrent callers queue on the row lock.
create or replace function inclui_sequencia_nsu(p_empresa integer) returns integer
language plpgsql as $$
declare
  v_nsu integer;
begin
  update tempresa set i_tem_nsu = i_tem_nsu + 1 where ccodempresa = p_empresa returning i_tem_nsu into v_nsu;
  if not found then
    raise exception 'inclui_sequencia_nsu: empresa % não cadastrada em tempresa', p_empresa
      using errcode = 'no_data_found';
  end if;
  return v_nsu;
end;
$$;
comment on function inclui_sequencia_nsu(integer) is 'Next NSU of a company (tempresa.i_tem_nsu), one atomic update.';

-- inclui_sequencia_lote_nfe() -> the next invoice batch number. A sequence:
-- never blocks, never repeats (it wraps after 999,999,999).
create or replace function inclui_sequencia_lote_nfe() returns integer
language plpgsql as $$
begin
  return nextval('seque_lote_nfe')::integer;
end;
$$;
comment on function inclui_sequencia_lote_nfe() is 'Next invoice batch number; advances on every call.';

-- estorna_transacao(sale, reason, kind) reverses every financial effect of
-- a sale and deletes nothing (a reload reads the old rows back):
--   * each of its postings in ahcontas gets a counter-posting (credit and
--     debit swapped, kind 9, outside the sale so that the sale's own
--     payment list stays as issued), linked both ways;
--   * customer credits that paid the sale are open again, and the
--     remainder credit left by that payment is closed;
--   * its installments are marked reversed ('E');
--   * the header records the kind ('C' cancelled, 'R' rejected), the moment
--     and the reason; kind 'C' also clears the owed-cancellation flag.
-- Idempotent: a sale already reversed is left as it is (result 0; 1 when it
-- was reversed now). Kind 'R' hands the sale's number over to the next
-- inclui_sequencia of its series in the same transaction (see above), and
-- refuses a sale whose number was already taken by the sale that replaced it.
-- The sale row is locked, so two stations reversing the same sale take turns
-- and the second finds it reversed.
create or replace function estorna_transacao(p_venda integer, p_motivo text, p_tipo text) returns integer
language plpgsql as $$
declare
  v_tipo text := upper(trim(coalesce(p_tipo, '')));
  v_venda asaidas%rowtype;
  v_lanc ahcontas%rowtype;
  v_contra integer;
  v_resultado integer := 0;
begin
  if v_tipo not in ('C', 'R') then
    raise exception 'estorna_transacao: tipo de estorno inválido: "%" (use C ou R)', p_tipo
      using errcode = 'invalid_parameter_value';
  end if;

  select * into v_venda from asaidas where cidesaidas = p_venda for update;
  if not found then
    raise exception 'estorna_transacao: venda % não encontrada em asaidas', p_venda
      using errcode = 'no_data_found';
  end if;

  if v_tipo = 'R' and v_venda.i_asa_numero_reutilizado = 1 then
    raise exception 'estorna_transacao: a nota % da série % (venda %) já foi substituída por outra venda',
      v_venda.cnotsaidas, v_venda.csrisaidas, p_venda
      using errcode = 'unique_violation';
  end if;

  if v_venda.s_asa_estorno is null then
    for v_lanc in
      select * from ahcontas
       where cidesaivenhist = p_venda and i_ahc_estornado_por is null and i_ahc_tip_lancto <> 9
       order by idhistorico
    loop
      insert into ahcontas (cidesaivenhist, ccodigofavorecidohistorico, ctef_cheque,
                            cvalorcreditohistorico, cvalordebitohistorico, cdescricaohistorico,
                            i_ahc_tip_lancto, i_ahc_ide_oservico, i_ahc_ide_transacao_fin, i_ahc_codigo_tem,
                            i_ahc_operador, i_ahc_usuario, i_ahc_conta, i_ahc_codigo_forma, i_ahc_codigo_cli,
                            i_ahc_estorno_de)
      values (null, v_lanc.ccodigofavorecidohistorico, v_lanc.ctef_cheque,
              v_lanc.cvalordebitohistorico, v_lanc.cvalorcreditohistorico,
              left('Estorno ' || v_tipo || ' venda ' || p_venda || ': ' || v_lanc.cdescricaohistorico, 255),
              9, v_lanc.i_ahc_ide_oservico, v_lanc.i_ahc_ide_transacao_fin, v_lanc.i_ahc_codigo_tem,
              v_lanc.i_ahc_operador, v_lanc.i_ahc_usuario, v_lanc.i_ahc_conta, v_lanc.i_ahc_codigo_forma,
              v_lanc.i_ahc_codigo_cli, v_lanc.idhistorico)
      returning idhistorico into v_contra;
      update ahcontas set i_ahc_estornado_por = v_contra where idhistorico = v_lanc.idhistorico;

      -- A customer credit spent on this payment is open again; the
      -- remainder credit that the payment left behind is closed.
      if v_lanc.i_ahc_ide_credito_origem is not null then
        update ahcontas set i_ahc_credito_utilizado = 0 where idhistorico = v_lanc.i_ahc_ide_credito_origem;
        update ahcontas set i_ahc_credito_utilizado = 1
         where i_ahc_ide_credito_origem = v_lanc.i_ahc_ide_credito_origem and i_ahc_tip_lancto = 3
           and cidesaivenhist is null and i_ahc_credito_utilizado = 0;
      end if;
    end loop;

    update asduplicatas set s_adu_situacao = 'E' where cisadupli = p_venda and s_adu_situacao <> 'E';

    update asaidas
       set s_asa_estorno = v_tipo,
           d_asa_data_estorno = localtimestamp(0),
           s_asa_motivo_estorno = left(coalesce(p_motivo, ''), 1000),
           i_asa_situacao_nfce = 0
     where cidesaidas = p_venda;
    v_resultado := 1;
  end if;

  if v_tipo = 'C' then
    update asaidas set i_asa_quorvex_canc = 0 where cidesaidas = p_venda and i_asa_quorvex_canc <> 0;
  elsif v_venda.cnotsaidas > 0 and coalesce(v_venda.s_asa_estorno, 'R') = 'R' then
    perform set_config('fvn.numero_liberado_' || v_venda.csrisaidas, v_venda.cnotsaidas || ':' || p_venda, true);
  end if;
  return v_resultado;
end;
$$;
comment on function estorna_transacao(integer, text, text) is
  'Reverses the financial effects of a sale (kind C or R) without deleting rows; idempotent. Kind R hands the number to the next inclui_sequencia of the same transaction.';

-- busca_produto(code, search sequence) -> the codes of the active products
-- that match a typed code. The sequence is the company's search order, one
-- letter per way of searching, tried in turn until one finds something:
--   C  the internal product code (digits, leading zeros allowed)
--   B  the barcode
--   R  the supplier reference (any case)
-- An empty sequence means 'CB'. Unaliased, the result column is named
-- busca_produto, which the product lookup joins on.
create or replace function busca_produto(p_codigo text, p_sequencia text) returns setof integer
language plpgsql stable as $$
declare
  v_codigo text := trim(coalesce(p_codigo, ''));
  v_sequencia text := upper(coalesce(nullif(trim(p_sequencia), ''), 'CB'));
  v_numero integer;
  v_letra text;
begin
  if v_codigo = '' then
    return;
  end if;
  if v_codigo ~ '^[0-9]+$' and length(ltrim(v_codigo, '0')) <= 9 then
    v_numero := coalesce(nullif(ltrim(v_codigo, '0'), ''), '0')::integer;
  end if;
  foreach v_letra in array regexp_split_to_array(v_sequencia, '') loop
    if v_letra = 'C' and v_numero is not null then
      return query select ccodproduto from aprodutos where ccodproduto = v_numero and i_apr_ativo = 1;
    elsif v_letra = 'B' then
      return query select ccodproduto from aprodutos
                    where cbarproduto = v_codigo and i_apr_ativo = 1 order by ccodproduto;
    elsif v_letra = 'R' then
      return query select ccodproduto from aprodutos
                    where upper(s_apr_referencia) = upper(v_codigo) and s_apr_referencia <> '' and i_apr_ativo = 1
                    order by ccodproduto;
    else
      continue;
    end if;
    if found then
      return;
    end if;
  end loop;
end;
$$;
comment on function busca_produto(text, text) is
  'Codes of the active products matching a typed code, searched in the order of the company''s search sequence (C code, B barcode, R reference).';
