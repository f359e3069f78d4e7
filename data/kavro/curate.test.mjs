// The check must pass on the committed files and must catch each kind of fault it is there for:
// a library built from a file it waves through would carry the fault to every reader.
//
//   node --test data/kavro/

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import test from 'node:test';
import { fileURLToPath } from 'node:url';
import { check, coupletLayout } from './curate.mjs';

const HERE = path.dirname(fileURLToPath(import.meta.url));
const FILES = ['01-tang300.json', '02-songci300.json', '03-yuanqu.json', '04-more.json', 'poets.json', 'forms.json'];

// A scratch copy of the committed files, changed by edit(name, json) before the check runs.
function checkEdited(edit) {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kavro-'));
    try {
        for (const f of FILES) {
            const data = JSON.parse(fs.readFileSync(path.join(HERE, f), 'utf8'));
            fs.writeFileSync(path.join(dir, f), JSON.stringify(edit(f, data) ?? data));
        }
        return check(dir, () => {});
    } finally {
        fs.rmSync(dir, { recursive: true, force: true });
    }
}

function editPoem(file, index, change) {
    return (f, data) => {
        if (f === file) change(data[index]);
        return data;
    };
}

function assertError(errors, pattern) {
    assert.ok(errors.some((e) => pattern.test(e)), `no error matching ${pattern} in:\n${errors.join('\n')}`);
}

test('the committed files pass', () => {
    assert.deepEqual(check(HERE, () => {}), []);
});

test('text the code page cannot hold is refused', async (t) => {
    await t.test('a character outside GBK', () => {
        const errors = checkEdited(editPoem('01-tang300.json', 0, (p) => (p.paragraphs[0] += '𫗴')));
        assertError(errors, /outside GBK/);
    });
    await t.test('the katakana middle dot the collection uses', () => {
        const errors = checkEdited(editPoem('03-yuanqu.json', 0, (p) => (p.title = p.title.replace('·', '・'))));
        assertError(errors, /outside GBK or stand-ins/);
    });
    await t.test('a question mark left by a lossy conversion', () => {
        const errors = checkEdited(editPoem('02-songci300.json', 3, (p) => (p.author = '张?')));
        assertError(errors, /outside GBK/);
    });
    await t.test('a placeholder box', () => {
        const errors = checkEdited(editPoem('03-yuanqu.json', 5, (p) => (p.paragraphs[0] = '□' + p.paragraphs[0])));
        assertError(errors, /stand-ins/);
    });
});

test('fields must fit the record', async (t) => {
    await t.test('a title of 33 Chinese characters', () => {
        const errors = checkEdited(editPoem('04-more.json', 0, (p) => (p.title = '长'.repeat(33))));
        assertError(errors, /title takes 66 bytes/);
    });
    await t.test('a form of 9 Chinese characters', () => {
        const errors = checkEdited(editPoem('03-yuanqu.json', 0, (p) => (p.form = '雁儿落带过得胜令令')));
        assertError(errors, /form takes 18 bytes/);
    });
    await t.test('32 characters and 8 characters still fit', () => {
        const errors = checkEdited(editPoem('04-more.json', 0, (p) => {
            p.title = '长'.repeat(32);
            p.author = '无名氏'.padEnd(8, '氏');
        }));
        assert.deepEqual(errors, []);
    });
});

test('poems must have their fields', async (t) => {
    await t.test('an empty dynasty', () => {
        assertError(checkEdited(editPoem('01-tang300.json', 2, (p) => (p.dynasty = ''))), /empty dynasty/);
    });
    await t.test('no lines', () => {
        assertError(checkEdited(editPoem('01-tang300.json', 2, (p) => (p.paragraphs = []))), /bad paragraphs/);
    });
    await t.test('an extra field', () => {
        assertError(checkEdited(editPoem('02-songci300.json', 0, (p) => (p.tags = ['x']))), /fields/);
    });
    await t.test('the same poem twice', () => {
        const errors = checkEdited((f, data) => (f === '04-more.json' ? [...data, data[0]] : data));
        assertError(errors, /duplicate poem/);
    });
});

test('every pick-list name must find a poem', async (t) => {
    await t.test('an author who loses his only poem', () => {
        const errors = checkEdited((f, data) => (f === '04-more.json' ? data.filter((p) => p.author !== '柳开') : data));
        assertError(errors, /author names without a poem: 柳开/);
    });
    await t.test('a tune that loses its only song', () => {
        const errors = checkEdited((f, data) => (f === '03-yuanqu.json' ? data.filter((p) => p.form !== '十儿月尧民歌') : data));
        assertError(errors, /form names without a poem: 十儿月尧民歌/);
    });
    await t.test('a name listed as unmatched that finds a poem', () => {
        const errors = checkEdited(editPoem('04-more.json', 0, (p) => (p.dynasty = '秦代')));
        assertError(errors, /listed as unmatched but matched: 秦代/);
    });
});

test('the reference texts must cover the lists', async (t) => {
    await t.test('a poet without an entry', () => {
        const errors = checkEdited((f, data) => {
            if (f === 'poets.json') delete data['李白'];
            return data;
        });
        assertError(errors, /poets\.json: missing 李白/);
    });
    await t.test('a form keyed by another spelling', () => {
        const errors = checkEdited((f, data) => {
            if (f !== 'forms.json') return data;
            data['折桂令·'] = data['折桂令'];
            delete data['折桂令'];
            return data;
        });
        assertError(errors, /forms\.json: missing 折桂令/);
        assertError(errors, /not on the lists 折桂令·/);
    });
    await t.test('a form of an unknown kind', () => {
        const errors = checkEdited((f, data) => {
            if (f === 'forms.json') data['天净沙'].kind = '杂剧';
            return data;
        });
        assertError(errors, /天净沙: kind 杂剧/);
    });
});

test('couplets are paired within their sentences', async (t) => {
    const laid = (form, paragraphs) => coupletLayout({ title: 't', author: 'a', dynasty: '唐代', form, paragraphs }).paragraphs;
    await t.test('a sentence over two couplets ends the first with the stop editions print', () => {
        assert.deepEqual(laid('五言绝句', ['床前明月光，疑是地上霜，举头望明月，低头思故乡。']),
            ['床前明月光，疑是地上霜。', '举头望明月，低头思故乡。']);
    });
    await t.test('a question and the verse that answers it are one couplet', () => {
        assert.deepEqual(laid('五言古诗', ['岱宗夫如何？', '齐鲁青未了。', '造化钟神秀，阴阳割昏晓。']),
            ['岱宗夫如何？齐鲁青未了。', '造化钟神秀，阴阳割昏晓。']);
    });
    await t.test('a sentence of three verses stays one line, and no couplet runs across sentences', () => {
        assert.deepEqual(laid('五言古诗', ['一二三四五，上山下山行，六七八九十。', '白日依山尽？', '黄河入海流。', '更上一层楼。']),
            ['一二三四五，上山下山行，六七八九十。', '白日依山尽？黄河入海流。', '更上一层楼。']);
    });
    await t.test('a couplet that would end inside a question is left to a human', () => {
        assert.throws(() => laid('七言绝句', ['朝辞白帝彩云间，千里江陵一日还，两岸猿声啼不住，轻舟已过万重山？']),
            /ends inside the sentence/);
    });
    await t.test('ci keep their lines', () => {
        assert.deepEqual(laid('浣溪沙', ['一曲新词酒一杯，', '去年天气旧亭台。']), ['一曲新词酒一杯，', '去年天气旧亭台。']);
    });
});

test('a line that ends inside its sentence is refused', () => {
    const errors = checkEdited(editPoem('01-tang300.json', 0, (p) => (p.paragraphs[0] = p.paragraphs[0].replace(/。$/, '，'))));
    assertError(errors, /a line ends inside its sentence/);
});
