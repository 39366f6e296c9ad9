-- Opens $FILE in headless Neovim, attaches `$SIFTON --lsp` through the
-- built-in client (at check level 3), and writes to $OUT one line per
-- diagnostic ("LINE RULE") and one per outline entry ("symbol NAME").
vim.o.fileencodings = 'cp1252'
vim.cmd('edit ' .. vim.fn.fnameescape(vim.env.FILE))
local buf = vim.api.nvim_get_current_buf()
local id = vim.lsp.start_client({
  name = 'sifton',
  cmd = { vim.env.SIFTON, '--lsp' },
  root_dir = vim.fn.fnamemodify(vim.env.FILE, ':h'),
  init_options = { sifton = { level = 3 } },
})
vim.lsp.buf_attach_client(buf, id)
local out = {}
local ok = vim.wait(30000, function() return #vim.diagnostic.get(buf) > 0 end, 50)
if not ok then table.insert(out, 'no diagnostics') end
for _, d in ipairs(vim.diagnostic.get(buf)) do
  table.insert(out, string.format('%d %s', d.lnum + 1, d.code))
end
local replies = vim.lsp.buf_request_sync(buf, 'textDocument/documentSymbol',
  { textDocument = vim.lsp.util.make_text_document_params() }, 30000) or {}
for _, reply in pairs(replies) do
  for _, s in ipairs(reply.result or {}) do table.insert(out, 'symbol ' .. s.name) end
end
vim.fn.writefile(out, vim.env.OUT)
vim.cmd('qall!')
