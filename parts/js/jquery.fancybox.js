/*
 * Light-box for the step images of the manual.
 *
 *   $('.fancybox').fancybox();
 *
 * A click on a link of the set shows the image it points to over the page.
 * Esc, the close button or a click outside the image closes it; the arrow
 * keys (and the buttons at the sides) go to the previous and next image of
 * the set. Plain <img> loading only, so it works from a file: address.
 */
(function ($) {
    'use strict';

    var KEY_ESC = 27, KEY_LEFT = 37, KEY_RIGHT = 39;
    // Japanese texts as escapes: the page's script files are read in its
    // Shift-JIS, so they stay ASCII.
    var TEXT_CLOSE = '\u9589\u3058\u308b',
        TEXT_PREV = '\u524d\u3078',
        TEXT_NEXT = '\u6b21\u3078',
        TEXT_BROKEN = '\u753b\u50cf\u3092\u8868\u793a\u3067\u304d\u307e\u305b\u3093\u3002';

    var box = null;   // the overlay's elements, made on first use
    var shown = null; // {links, index} while the overlay is open

    function captionOf(link) {
        var $link = $(link);
        var $step = $link.closest('.step');
        var $heading = $step.length ? $step.children('div').first() : $link.prevAll('div').first();
        return $heading.text().trim();
    }

    function build() {
        var $overlay = $('<div id="fancybox-overlay" class="fancybox-overlay" role="dialog" aria-modal="true"></div>');
        var $frame = $('<div class="fancybox-frame"></div>');
        var $img = $('<img class="fancybox-image" alt="">');
        var $broken = $('<div class="fancybox-broken"></div>').text(TEXT_BROKEN);
        var $caption = $('<div class="fancybox-caption"></div>');
        var $count = $('<span class="fancybox-count"></span>');
        var $close = $('<button type="button" class="fancybox-close"></button>').attr('title', TEXT_CLOSE).text('\u00d7');
        var $prev = $('<button type="button" class="fancybox-prev"></button>').attr('title', TEXT_PREV).text('\u2039');
        var $next = $('<button type="button" class="fancybox-next"></button>').attr('title', TEXT_NEXT).text('\u203a');
        $frame.append($img, $broken, $caption.append($count, $('<span class="fancybox-title"></span>')));
        $overlay.append($frame, $prev, $next, $close).hide().appendTo(document.body);

        // Anything but the picture and its caption closes: the dark area around it.
        $overlay.on('click', function (e) {
            if (e.target === $overlay[0] || e.target === $frame[0]) close();
        });
        $close.on('click', function () { close(); });
        $prev.on('click', function () { step(-1); });
        $next.on('click', function () { step(1); });
        $img.on('load', function () {
            $broken.hide();
            $img.show();
        }).on('error', function () {
            $img.hide();
            $broken.show();
        });
        box = {overlay: $overlay, img: $img, broken: $broken, count: $count,
               title: $caption.find('.fancybox-title'), prev: $prev, next: $next};
    }

    function show(index) {
        var links = shown.links;
        shown.index = index;
        var link = links[index];
        box.broken.hide();
        box.img.attr('src', $(link).attr('href'));
        box.title.text(captionOf(link));
        box.count.text(links.length > 1 ? (index + 1) + ' / ' + links.length : '');
        box.prev.toggle(index > 0);
        box.next.toggle(index < links.length - 1);
        // The next picture is usually wanted next: start loading it now.
        if (index + 1 < links.length) new Image().src = $(links[index + 1]).attr('href');
    }

    function open(links, index) {
        if (!box) build();
        shown = {links: links, index: index, focus: document.activeElement};
        show(index);
        box.overlay.show();
        $('html').addClass('fancybox-open');
        box.overlay.find('.fancybox-close').trigger('focus');
    }

    function close() {
        if (!shown) return;
        var focus = shown.focus;
        shown = null;
        box.overlay.hide();
        box.img.removeAttr('src');
        $('html').removeClass('fancybox-open');
        if (focus && focus.focus) focus.focus();
    }

    function step(delta) {
        if (!shown) return;
        var index = shown.index + delta;
        if (index >= 0 && index < shown.links.length) show(index);
    }

    $(document).on('keydown.fancybox', function (e) {
        if (!shown) return;
        if (e.which === KEY_ESC) close();
        else if (e.which === KEY_LEFT) step(-1);
        else if (e.which === KEY_RIGHT) step(1);
        else return;
        e.preventDefault();
    });

    $.fn.fancybox = function () {
        // Links without a file (an image that was not found) stay plain links.
        var links = this.filter(function () { return !!$(this).attr('href'); });
        links.off('click.fancybox').on('click.fancybox', function (e) {
            if (e.ctrlKey || e.shiftKey || e.metaKey || e.button > 0) return; // a new tab, as asked
            e.preventDefault();
            open(links, links.index(this));
        });
        return this;
    };
    $.fancybox = {close: close};
})(jQuery);
